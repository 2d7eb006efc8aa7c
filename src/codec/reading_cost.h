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

enum class Reading { kUtf8, kBig5, kGbk };

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

ReadingCost CostOf(std::string_view text, Reading reading);

}  // namespace bgconv
