#pragma once
// How ordinary a byte string looks when it is read in one encoding: the sum
// of -ln p over its characters, p from a unigram model of that encoding's
// Chinese text (UTF-8 by flat costs per kind of character).  Comparing the
// costs of the readings of one string compares their likelihoods.  A
// sequence that does not decode costs kInvalidCost and reading goes on
// after it; ASCII costs nothing in every reading.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace bgconv {

// Costs are counted in eighths of a nat.
inline constexpr std::int64_t kCostUnitsPerNat = 8;
inline constexpr std::int64_t kInvalidCost = 24 * kCostUnitsPerNat;

struct ReadingCost {
  std::int64_t cost = 0;
  std::size_t invalid = 0;    // sequences that do not decode
  std::size_t multibyte = 0;  // characters of more than one byte
  std::size_t hanzi = 0;
  bool outside_gb2312 = false;  // a GBK character that GB2312 lacks
};

// One text in the three readings.  Big5 and GBK split a text into the same
// characters (a byte 0x81-0xFE leads, 0x40-0xFE trails), so both come from
// one scan.
struct Readings {
  ReadingCost utf8;
  ReadingCost big5;
  ReadingCost gbk;
};

Readings ReadingsOf(std::string_view text);

// The position of the first byte 0x80 or above at or after `from`, or the
// size of `text`; eight bytes at a time.
inline std::size_t FirstHighByte(std::string_view text, std::size_t from = 0) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t i = from;
  for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    if (word & kHighBits) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

// Calls `visit(start, line)` for each line of `text` (split after LF, the LF
// left out) that holds a byte 0x80 or above, first to last; lines of ASCII
// are passed over a word at a time.
template <typename Visit>
void ForEachHighByteLine(std::string_view text, Visit&& visit) {
  for (std::size_t from = 0;;) {
    const std::size_t high = FirstHighByte(text, from);
    if (high == text.size()) return;
    const std::size_t break_before = text.rfind('\n', high);
    const std::size_t start = break_before == std::string_view::npos || break_before < from ? from : break_before + 1;
    const std::size_t end = std::min(text.find('\n', high), text.size());
    visit(start, text.substr(start, end - start));
    if (end == text.size()) return;
    from = end + 1;
  }
}

// Whether every byte 0x80 or above of `text` belongs to a well-formed UTF-8
// sequence; it stops at the first that does not.
bool IsWellFormedUtf8(std::string_view text);

}  // namespace bgconv
