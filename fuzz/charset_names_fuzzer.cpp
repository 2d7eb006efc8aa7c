// Any bytes through the charset rewrite, against a plain reference written
// apart from it: characters are read by the converter's rule (a byte
// 0xA1-0xFF and a trail byte of the text's set form a pair), and at every
// single-byte character the identifier is compared letter by letter.  Also:
// the length changes only by whole identifiers, and a second rewrite
// changes nothing.  The first byte picks the set, the direction and the
// "Chager Default Charset" choice.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codec/charset_names.h"
#include "codec/converter.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsTrail(bool big5, unsigned char byte) {
  return (byte >= 0xA1 && byte <= 0xFE) || (big5 && byte >= 0x40 && byte <= 0x7E);
}

bool SameLetters(std::string_view text, std::size_t pos, std::string_view name) {
  if (text.size() - pos < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = text[pos + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != name[i]) return false;
  }
  return true;
}

std::string Replace(std::string_view text, bool big5, std::string_view from, std::string_view to, int& count) {
  std::string result;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte >= 0xA1 && pos + 1 < text.size() && IsTrail(big5, static_cast<unsigned char>(text[pos + 1]))) {
      result += text.substr(pos, 2);
      pos += 2;
    } else if (SameLetters(text, pos, from)) {
      result += to;
      pos += from.size();
      ++count;
    } else {
      result += text[pos++];
    }
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool big5 = (data[0] & 1) != 0;
  const bgconv::Direction direction = (data[0] & 2) != 0 ? bgconv::Direction::kGbToBig : bgconv::Direction::kBigToGb;
  const bool change_default = (data[0] & 4) != 0;
  const auto set = big5 ? bgconv::CodeSet::kBig5 : bgconv::CodeSet::kGb2312;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string_view source =
      direction == bgconv::Direction::kBigToGb ? bgconv::kBig5CharsetName : bgconv::kGbCharsetName;
  const std::string_view target =
      direction == bgconv::Direction::kBigToGb ? bgconv::kGbCharsetName : bgconv::kBig5CharsetName;
  int sources = 0;
  int defaults = 0;
  std::string expected = Replace(text, big5, source, target, sources);
  if (change_default) expected = Replace(expected, big5, bgconv::kDefaultCharsetName, target, defaults);

  const std::string result = bgconv::FixCharsetNames(text, set, direction, change_default);
  Check(result == expected);
  const auto grown = [&](std::string_view from, int count) {
    return static_cast<long long>(count) *
           (static_cast<long long>(target.size()) - static_cast<long long>(from.size()));
  };
  Check(static_cast<long long>(result.size()) ==
        static_cast<long long>(text.size()) + grown(source, sources) + grown(bgconv::kDefaultCharsetName, defaults));
  Check(bgconv::FixCharsetNames(result, set, direction, change_default) == result);
  return 0;
}
