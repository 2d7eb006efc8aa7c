#include "form/exact_decimal.h"

#include <vector>

namespace bgconv {
namespace {

using Limbs = std::vector<std::uint64_t>;  // little-endian base 2^64
using Wide = unsigned __int128;

constexpr std::uint64_t kChunk = 10'000'000'000'000'000'000ULL;  // 10^19
constexpr int kChunkDigits = 19;

void Trim(Limbs& number) {
  while (!number.empty() && number.back() == 0) number.pop_back();
}

// number = number << shift
Limbs ShiftedLeft(std::uint64_t value, int shift) {
  const auto limb = static_cast<std::size_t>(shift / 64);
  Limbs number(limb + 2, 0);
  const int bits = shift % 64;
  number[limb] = value << bits;
  if (bits != 0) number[limb + 1] = value >> (64 - bits);
  Trim(number);
  return number;
}

// Divides `number` by 10^19 in place and returns the remainder.
std::uint64_t DivideByChunk(Limbs& number) {
  Wide remainder = 0;
  for (std::size_t i = number.size(); i-- > 0;) {
    const Wide current = (remainder << 64) | number[i];
    number[i] = static_cast<std::uint64_t>(current / kChunk);
    remainder = current % kChunk;
  }
  Trim(number);
  return static_cast<std::uint64_t>(remainder);
}

std::string ChunkText(std::uint64_t chunk, bool pad) {
  std::string text = std::to_string(chunk);
  if (pad) text.insert(0, kChunkDigits - text.size(), '0');
  return text;
}

// All decimal digits of a non-negative integer ("" for zero).
std::string IntegerDigits(Limbs number) {
  std::vector<std::uint64_t> chunks;
  while (!number.empty()) chunks.push_back(DivideByChunk(number));
  std::string digits;
  for (std::size_t i = chunks.size(); i-- > 0;) digits += ChunkText(chunks[i], i + 1 != chunks.size());
  return digits;
}

// fraction = fraction x 10^19; returns the part that reaches 2^bits and keeps
// the rest.  The fraction is fraction / 2^bits.
std::uint64_t NextFractionChunk(Limbs& fraction, int bits) {
  Wide carry = 0;
  for (auto& limb : fraction) {
    const Wide product = static_cast<Wide>(limb) * kChunk + carry;
    limb = static_cast<std::uint64_t>(product);
    carry = product >> 64;
  }
  if (carry != 0) fraction.push_back(static_cast<std::uint64_t>(carry));
  // Split at bit `bits`: what lies above is less than 10^19.
  const auto word = static_cast<std::size_t>(bits / 64);
  const int offset = bits % 64;
  Wide above = 0;
  for (std::size_t i = fraction.size(); i-- > word;) {
    above = (above << 64) | fraction[i];
    if (i > word) fraction[i] = 0;
  }
  above >>= offset;
  if (word < fraction.size()) fraction[word] &= offset == 0 ? 0 : (~std::uint64_t{0} >> (64 - offset));
  Trim(fraction);
  return static_cast<std::uint64_t>(above);
}

}  // namespace

DecimalDigits BinaryToDecimal(std::uint64_t mantissa, int exponent, std::size_t wanted) {
  DecimalDigits result;
  if (exponent >= 0) {
    result.digits = IntegerDigits(ShiftedLeft(mantissa, exponent));
    result.point = static_cast<int>(result.digits.size());
    return result;
  }
  const int bits = -exponent;
  const std::uint64_t whole = bits >= 64 ? 0 : mantissa >> bits;
  Limbs fraction{bits >= 64 ? mantissa : mantissa & ((std::uint64_t{1} << bits) - 1)};
  Trim(fraction);
  result.digits = whole == 0 ? "" : std::to_string(whole);
  result.point = static_cast<int>(result.digits.size());
  while (!fraction.empty() && (result.digits.empty() || result.digits.size() < wanted)) {
    const std::uint64_t chunk = NextFractionChunk(fraction, bits);
    if (!result.digits.empty()) {
      result.digits += ChunkText(chunk, true);
      continue;
    }
    // Zeros right after the point only move it.
    result.digits = chunk == 0 ? "" : ChunkText(chunk, false);
    result.point -= kChunkDigits - static_cast<int>(result.digits.size());
  }
  result.nonzero_tail = !fraction.empty();
  return result;
}

}  // namespace bgconv
