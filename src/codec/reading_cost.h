#pragma once
// How ordinary a byte string looks when it is read in one encoding: the sum
// of -ln p over its characters, p from a unigram model of that encoding's
// Chinese text (UTF-8 by flat costs per kind of character).  Comparing the
// costs of the readings of one string compares their likelihoods.  A
// sequence that does not decode costs kInvalidCost and reading goes on
// after it; ASCII costs nothing in every reading.

#include <cstddef>
#include <cstdint>
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

}  // namespace bgconv
