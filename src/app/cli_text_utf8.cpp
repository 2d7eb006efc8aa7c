#include "app/cli_text_utf8.h"

#include "codec/unicode_text.h"
#include "platform/ansi_codepage.h"

namespace bgconv::cli {

bool TakeUtf8Option(const std::string& option, Arguments& args, TextToUtf8Options& options) {
  if (option == "--from") {
    options.from = ParseSourceCodePage(args.Value(), args.Command());
  } else if (option == "--no-bom") {
    options.target.bom = false;
  } else if (option == "--script") {
    options.target.script = ParseScript(args.Value(), args.Command());
  } else {
    return false;
  }
  return true;
}

void CheckUtf8Options(bool to_utf8, bool fix_charset, const TextToUtf8Options& options) {
  if (to_utf8 && !options.from) throw UsageError("text: --to utf8 needs --from big5 or --from gb");
  if (to_utf8 && fix_charset) throw UsageError("text: --fix-charset goes with --to gb or --to big5");
  const Utf8Target plain;
  if (!to_utf8 && (options.from || options.target.bom != plain.bom || options.target.script != plain.script))
    throw UsageError("text: --from, --no-bom and --script go with --to utf8");
}

std::string WholeTextToUtf8(std::string_view text, const TextToUtf8Options& options, std::ostream& err) {
  const int code_page = SourceCodePage(options.from.value_or(Direction::kBigToGb));
  const ScriptConverter script(options.target.script);
  Utf8Text utf8 = TextToUtf8(text, code_page, script, options.target.bom, true);
  if (utf8.undecodable > 0)
    err << "bgconv: " << utf8.undecodable << (utf8.undecodable == 1 ? " byte sequence" : " byte sequences")
        << " not in code page " << code_page << ", written as U+FFFD\n";
  return std::move(utf8.text);
}

}  // namespace bgconv::cli
