#include "codec/charset_names.h"

#include "codec/converter.h"
#include "platform/ansi_codepage.h"

namespace bgconv {

std::string ReplaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!from.empty() && MatchesIgnoreCaseAt(text, pos, from)) {
      result += to;
      pos += from.size();
      continue;
    }
    const std::size_t length = CharLengthAt(text, pos);
    result.append(text.substr(pos, length));
    pos += length;
  }
  return result;
}

std::string FixCharsetNames(std::string_view text, int direction, bool change_default) {
  if (direction != kBigToGb && direction != kGbToBig) return std::string(text);
  const auto source = direction == kBigToGb ? kBig5CharsetName : kGbCharsetName;
  const auto target = direction == kBigToGb ? kGbCharsetName : kBig5CharsetName;
  std::string result = ReplaceIgnoringCase(text, source, target);
  if (change_default) result = ReplaceIgnoringCase(result, kDefaultCharsetName, target);
  return result;
}

}  // namespace bgconv
