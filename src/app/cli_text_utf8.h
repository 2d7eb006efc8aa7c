#pragma once
// bgconv text --to utf8: the options and the conversion of a whole text,
// apart from the text command itself.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli.h"
#include "common/choices.h"

namespace bgconv::cli {

struct TextToUtf8Options {
  std::optional<Direction> from;  // the direction whose source code page --from names
  Utf8Target target;
};

// Takes --from, --no-bom or --script (with its value) into `options`; false
// for any other option.
bool TakeUtf8Option(const std::string& option, Arguments& args, TextToUtf8Options& options);

// Fails with a UsageError where the options do not go together: --to utf8
// needs --from and takes no --fix-charset, --from and the rest need it.
void CheckUtf8Options(bool to_utf8, bool fix_charset, const TextToUtf8Options& options);

// `text` of the --from code page as UTF-8 (line ends as they are); the
// number of byte sequences that did not decode goes to `err`.
std::string WholeTextToUtf8(std::string_view text, const TextToUtf8Options& options, std::ostream& err);

}  // namespace bgconv::cli
