#include "codec/charset_names.h"

#include "codec/converter.h"
#include "platform/ansi_codepage.h"

namespace bgconv {

std::string ReplaceIgnoringCase(std::string_view text, CodeSet text_set, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  // Only a single-byte character equal to the first letter can start a match;
  // everything between matches is copied in one piece.
  const unsigned char first = AnsiUpper(static_cast<unsigned char>(from.front()));
  std::size_t copied = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (PairLengthAt(text_set, text, pos) == 2) {
      pos += 2;
    } else if (AnsiUpper(byte) == first && MatchesIgnoreCaseAt(text, pos, from)) {
      result.append(text.substr(copied, pos - copied));
      result += to;
      pos += from.size();
      copied = pos;
    } else {
      ++pos;
    }
  }
  result.append(text.substr(copied));
  return result;
}

std::string FixCharsetNames(std::string_view text, CodeSet text_set, Direction direction, bool change_default) {
  const auto source = direction == Direction::kBigToGb ? kBig5CharsetName : kGbCharsetName;
  const auto target = direction == Direction::kBigToGb ? kGbCharsetName : kBig5CharsetName;
  std::string result = ReplaceIgnoringCase(text, text_set, source, target);
  if (change_default) result = ReplaceIgnoringCase(result, text_set, kDefaultCharsetName, target);
  return result;
}

std::string ChineseCharsetsToDefault(std::string_view text) {
  // Read as Big5, a text steps over the pairs of either code page: every
  // GB2312 pair is a Big5 pair too.
  const std::string once = ReplaceIgnoringCase(text, CodeSet::kBig5, kBig5CharsetName, kDefaultCharsetName);
  return ReplaceIgnoringCase(once, CodeSet::kBig5, kGbCharsetName, kDefaultCharsetName);
}

}  // namespace bgconv
