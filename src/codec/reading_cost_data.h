#pragma once
// The generated character costs of the Big5 (cp950) and GBK (cp936) readings
// (tools/gen_reading_costs.py).  A cost is -ln p in eighths of a nat.

#include <cstddef>
#include <cstdint>

namespace bgconv::reading_data {

inline constexpr int kCostUnitsPerNat = 8;
inline constexpr std::uint8_t kHanziFlag = 1;
inline constexpr std::uint8_t kOutsideGb2312Flag = 2;

// Consecutive codes that all decode, with the cost of each one that the
// counts do not hold and the flags of all.
struct CodeRun {
  std::uint16_t first;
  std::uint16_t last;
  std::uint8_t cost;
  std::uint8_t flags;
};

// A counted character: its own cost.
struct CountedCode {
  std::uint16_t code;
  std::uint8_t cost;
};

extern const CodeRun kBig5Runs[];
extern const std::size_t kBig5RunCount;
extern const CountedCode kBig5Counted[];
extern const std::size_t kBig5CountedCount;
extern const CodeRun kGbkRuns[];
extern const std::size_t kGbkRunCount;
extern const CountedCode kGbkCounted[];
extern const std::size_t kGbkCountedCount;

}  // namespace bgconv::reading_data
