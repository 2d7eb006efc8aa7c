#pragma once
// The guard in front of the converter: a text that is not in the source code
// page of a direction (already converted, UTF-8, a mix of both code pages) is
// not converted, since converting it would turn every hanzi into another or
// into blanks.  Within a text that is, a line of UTF-8 among the code page's
// lines keeps its bytes while the rest converts.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "codec/text_class.h"
#include "common/choices.h"

namespace bgconv {

// Below this confidence the classifier's answer is a guess, and a text is
// converted as asked.
inline constexpr double kSureConfidence = 0.99;

// The classes a direction converts from: Big5, or GB2312 and GBK (both code
// page 936).
bool IsSourceClass(TextClass text_class, Direction direction);

// Why a text of `classification` is left as it is by a conversion in
// `direction` ("already GB2312", "UTF-8", "not text", …); none when it
// converts: ASCII, text of the source code page, or a classification
// that is not sure.
std::optional<std::string> SkipReason(const Classification& classification, Direction direction);

struct GuardedConversion {
  std::string text;            // the input's length, line ends where they were
  std::size_t kept_lines = 0;  // lines of UTF-8 left as they were
};

// ConvertText, except that each line that is well-formed UTF-8 and reads
// as UTF-8 better than as the source code page keeps its bytes.
GuardedConversion ConvertKeepingUtf8Lines(std::string_view text, Direction direction);

}  // namespace bgconv
