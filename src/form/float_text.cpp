#include "form/float_text.h"

#include "form/exact_decimal.h"

namespace bgconv {
namespace {

constexpr std::size_t kExpansionDigits = 18;
constexpr std::size_t kPrecision = 15;

// Adds one unit in the last place of `digits`; a carry out of the first
// digit moves the point.
void RoundUp(std::string& digits, int& point) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  digits.pop_back();
  ++point;
}

// Rounds to the nearest 18-digit expansion (ties to even), then to 15 digits
// (a 16th digit of 5 or more rounds up), and drops trailing zeros.
void RoundToPrecision(DecimalDigits& value) {
  auto& digits = value.digits;
  if (digits.size() > kExpansionDigits) {
    const char next = digits[kExpansionDigits];
    const bool rest_nonzero =
        value.nonzero_tail || digits.find_first_not_of('0', kExpansionDigits + 1) != std::string::npos;
    digits.resize(kExpansionDigits);
    const bool odd = (digits.back() - '0') % 2 == 1;
    if (next > '5' || (next == '5' && (rest_nonzero || odd))) RoundUp(digits, value.point);
  }
  if (digits.size() > kPrecision) {
    const bool up = digits[kPrecision] >= '5';
    digits.resize(kPrecision);
    if (up) RoundUp(digits, value.point);
  }
  digits.erase(digits.find_last_not_of('0') + 1);
}

// General format of 0.d1d2... x 10^point (digits without trailing zeros).
std::string GeneralFormat(bool negative, const std::string& digits, int point) {
  std::string text = negative ? "-" : "";
  if (point > static_cast<int>(kPrecision) || point < -3) {
    text += digits[0];
    if (digits.size() > 1) text += "." + digits.substr(1);
    const int exponent = point - 1;
    text += "E";
    if (exponent < 0) text += "-";
    text += std::to_string(exponent < 0 ? -exponent : exponent);
  } else if (point <= 0) {
    text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else {
    const auto whole = static_cast<std::size_t>(point);
    if (digits.size() <= whole) {
      text += digits + std::string(whole - digits.size(), '0');
    } else {
      text += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return text;
}

// A finite value: (-1)^negative x mantissa x 2^exponent.
std::string FiniteText(bool negative, std::uint64_t mantissa, int exponent) {
  if (mantissa == 0) return "0";
  DecimalDigits value = BinaryToDecimal(mantissa, exponent, kExpansionDigits + 1);
  RoundToPrecision(value);
  return GeneralFormat(negative, value.digits, value.point);
}

std::string SpecialText(bool negative, bool infinite) {
  if (!infinite) return "NAN";
  return negative ? "-INF" : "INF";
}

std::uint64_t LittleEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

// An IEEE binary format with an implicit leading bit.
std::string IeeeText(std::uint64_t bits, int fraction_bits, int exponent_bits) {
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << fraction_bits) - 1);
  const int max_exponent = (1 << exponent_bits) - 1;
  const int biased = static_cast<int>((bits >> fraction_bits) & static_cast<std::uint64_t>(max_exponent));
  const bool negative = ((bits >> (fraction_bits + exponent_bits)) & 1) != 0;
  const int bias = max_exponent / 2;
  if (biased == max_exponent) return SpecialText(negative, fraction == 0);
  if (biased == 0) return FiniteText(negative, fraction, 1 - bias - fraction_bits);
  return FiniteText(negative, fraction | (std::uint64_t{1} << fraction_bits), biased - bias - fraction_bits);
}

}  // namespace

std::string ExtendedFloatText(std::string_view ten_bytes) {
  const std::uint64_t mantissa = LittleEndian(ten_bytes.substr(0, 8));
  const auto sign_exponent = static_cast<unsigned>(LittleEndian(ten_bytes.substr(8, 2)));
  const bool negative = (sign_exponent & 0x8000) != 0;
  const int biased = static_cast<int>(sign_exponent & 0x7FFF);
  constexpr int kBias = 16383;
  // The leading bit is explicit; the value is read as the bits say, also for
  // the denormal and unnormal patterns.
  if (biased == 0x7FFF) return SpecialText(negative, (mantissa << 1) == 0);
  return FiniteText(negative, mantissa, (biased == 0 ? 1 : biased) - kBias - 63);
}

std::string DoubleFloatText(std::uint64_t bits) { return IeeeText(bits, 52, 11); }

std::string SingleFloatText(std::uint32_t bits) { return IeeeText(bits, 23, 8); }

std::string IntegerFloatText(std::int64_t value) {
  const bool negative = value < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return FiniteText(negative, magnitude, 0);
}

}  // namespace bgconv
