#include "form/float_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace bgconv {
namespace {

std::string Extended(std::uint64_t mantissa, std::uint16_t sign_exponent) {
  std::string bytes(10, '\0');
  for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<char>(mantissa >> (8 * i));
  bytes[8] = static_cast<char>(sign_exponent);
  bytes[9] = static_cast<char>(sign_exponent >> 8);
  return ExtendedFloatText(bytes);
}

std::string Double(double value) { return DoubleFloatText(std::bit_cast<std::uint64_t>(value)); }

constexpr std::uint64_t kOne = 0x8000000000000000ULL;  // the explicit leading bit
constexpr std::uint16_t kBias = 16383;

TEST(FloatText, GeneralFormat) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {1e16, "1E16"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {1.23456789012346e17, "1.23456789012346E17"},
      {1e-5, "1E-5"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {100, "100"},
      {45000.5, "45000.5"},
      {-45000.5, "-45000.5"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {999999999999999.5, "1E15"},  // the 15-digit rounding carries into a new digit
      {-1.5e-300, "-1.5E-300"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {std::numeric_limits<double>::max(), "1.79769313486232E308"},
  };
  for (const auto& c : cases) EXPECT_EQ(Double(c.value), c.text) << c.value;
}

TEST(FloatText, SpecialValues) {
  EXPECT_EQ(Double(0.0), "0");
  EXPECT_EQ(Double(-0.0), "0");
  EXPECT_EQ(Double(INFINITY), "INF");
  EXPECT_EQ(Double(-INFINITY), "-INF");
  EXPECT_EQ(Double(std::nan("")), "NAN");
  EXPECT_EQ(Double(-std::nan("")), "NAN");
  EXPECT_EQ(Extended(0, 0x8000), "0");
  EXPECT_EQ(Extended(kOne, 0x7FFF), "INF");
  EXPECT_EQ(Extended(kOne, 0xFFFF), "-INF");
  EXPECT_EQ(Extended(kOne | 1, 0x7FFF), "NAN");
  EXPECT_EQ(Extended(0xC000000000000000ULL, 0xFFFF), "NAN");
}

TEST(FloatText, ExtendedPrecisionAcrossItsRange) {
  struct Case {
    std::uint64_t mantissa;
    std::uint16_t sign_exponent;
    const char* text;
  };
  const Case cases[] = {
      {kOne, kBias + 3, "8"},
      {kOne, 0x8000 | kBias, "-1"},
      {0x4000000000000000ULL, kBias, "0.5"},  // unnormal: read as the bits say
      {1, 0, "3.64519953188247E-4951"},       // smallest denormal
      {~std::uint64_t{0}, 0x7FFE, "1.18973149535723E4932"},
      // 0.12345678901234549970...: to 18 digits ...345500, so the 16th digit
      // is 5 and rounds up; rounding straight to 15 digits would give ...345.
      {0xFCD6E9BA37B29195ULL, kBias - 4, "0.123456789012346"},
  };
  for (const auto& c : cases) EXPECT_EQ(Extended(c.mantissa, c.sign_exponent), c.text);
}

TEST(FloatText, SingleIsWidenedExactly) {
  EXPECT_EQ(SingleFloatText(std::bit_cast<std::uint32_t>(0.1f)), "0.100000001490116");
  EXPECT_EQ(SingleFloatText(std::bit_cast<std::uint32_t>(-2.5f)), "-2.5");
  EXPECT_EQ(SingleFloatText(0x7F800000), "INF");
  EXPECT_EQ(SingleFloatText(1), "1.40129846432482E-45");
}

TEST(FloatText, IntegersKeepFifteenDigits) {
  EXPECT_EQ(IntegerFloatText(15000), "15000");
  EXPECT_EQ(IntegerFloatText(-15000), "-15000");
  EXPECT_EQ(IntegerFloatText(0), "0");
  EXPECT_EQ(IntegerFloatText(std::numeric_limits<std::int64_t>::max()), "9.22337203685478E18");
  EXPECT_EQ(IntegerFloatText(std::numeric_limits<std::int64_t>::min()), "-9.22337203685478E18");
  EXPECT_EQ(IntegerFloatText(999999999999999), "999999999999999");
  EXPECT_EQ(IntegerFloatText(9999999999999995), "1E16");
}

// printf's "%.17e" (18 digits, correctly rounded) taken to 15 digits as
// the decoder does (a 16th digit of 5 or more rounds up), as a number.
double FifteenDigitValue(const std::string& expansion) {
  const bool negative = expansion[0] == '-';
  const std::string text = negative ? expansion.substr(1) : expansion;
  const auto e = text.find('e');
  const std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  long long head = std::stoll(digits.substr(0, 15));
  if (digits[15] >= '5') ++head;
  const int exponent = std::stoi(text.substr(e + 1)) - 14;
  const std::string rounded = (negative ? "-" : "") + std::to_string(head) + "e" + std::to_string(exponent);
  return std::strtod(rounded.c_str(), nullptr);
}

double ParsedText(std::string text) {
  if (!text.empty() && (text.back() == 's' || text.back() == 'c' || text.back() == 'd')) text.pop_back();
  return std::strtod(text.c_str(), nullptr);
}

TEST(FloatText, AgreesWithCsPrintfOnRandomDoubles) {
  std::mt19937_64 random(20240501);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    const double value = std::bit_cast<double>(bits);
    if (!std::isfinite(value) || value == 0) continue;
    char expansion[64];
    std::snprintf(expansion, sizeof expansion, "%.17e", value);
    ASSERT_EQ(ParsedText(DoubleFloatText(bits)), FifteenDigitValue(expansion)) << expansion;
  }
}

#if LDBL_MANT_DIG == 64
TEST(FloatText, AgreesWithCsPrintfOnRandomExtendedValues) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    // Normal values whose 15 digits fit a double, so they can be compared.
    const std::uint64_t mantissa = random() | kOne;
    const auto sign_exponent = static_cast<std::uint16_t>((random() & 0x8000) | (kBias - 1000 + random() % 2000));
    long double value = 0;
    std::string bytes(10, '\0');
    for (std::size_t k = 0; k < 8; ++k) bytes[k] = static_cast<char>(mantissa >> (8 * k));
    bytes[8] = static_cast<char>(sign_exponent);
    bytes[9] = static_cast<char>(sign_exponent >> 8);
    std::memcpy(&value, bytes.data(), 10);
    char expansion[64];
    std::snprintf(expansion, sizeof expansion, "%.17Le", value);
    ASSERT_EQ(ParsedText(ExtendedFloatText(bytes)), FifteenDigitValue(expansion)) << expansion;
  }
}
#endif

}  // namespace
}  // namespace bgconv
