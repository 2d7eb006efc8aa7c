#pragma once
// The leading decimal digits of a binary floating-point value, computed
// exactly with integer arithmetic, so that float text does not depend on the
// host's floating-point types (an 80-bit extended is not a long double
// everywhere).

#include <cstdint>
#include <string>

namespace bgconv {

// value = 0.d1 d2 d3 ... x 10^point, d1 != 0.
struct DecimalDigits {
  std::string digits;  // at least `wanted` digits when the value has that many
  int point = 0;
  bool nonzero_tail = false;  // digits beyond `digits` that are not all zero
};

// The digits of mantissa x 2^exponent (mantissa > 0): all of them when the
// value is an integer, else at least `wanted` significant digits and whether
// any non-zero digit follows them.
DecimalDigits BinaryToDecimal(std::uint64_t mantissa, int exponent, std::size_t wanted);

}  // namespace bgconv
