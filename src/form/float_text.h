#pragma once
// Float text of form files: 15 significant digits, general format, "." as
// decimal separator whatever the locale.  Every value is read from its bytes
// and formatted without going through the host's floating-point types.

#include <cstdint>
#include <string>
#include <string_view>

namespace bgconv {

// An 80-bit extended value: 8 bytes of mantissa (explicit leading bit), then
// 2 bytes of sign and exponent, little-endian.
std::string ExtendedFloatText(std::string_view ten_bytes);

// IEEE double and single precision from their bit patterns.
std::string DoubleFloatText(std::uint64_t bits);
std::string SingleFloatText(std::uint32_t bits);

// A 64-bit integer formatted as a float (currency: the amount times 10000).
std::string IntegerFloatText(std::int64_t value);

}  // namespace bgconv
