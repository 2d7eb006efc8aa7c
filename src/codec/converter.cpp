#include "codec/converter.h"

#include <cstring>

namespace bgconv {
namespace {

// True when none of the eight bytes at `at` has its high bit set: all of them
// are single-byte characters.
bool EightSingleBytes(const unsigned char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return (word & 0x8080808080808080ULL) == 0;
}

}  // namespace

std::string TableConverter::Convert(std::string_view input) const {
  const auto table = table_.Bytes();
  // Every pair yields at most two bytes; only a lead byte at the very end can
  // make the result one byte longer than the input.
  std::string result(input.size() + 1, '\0');
  char* out = result.data();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const auto* const end = in + input.size();

  while (in < end) {
    const auto* run = in;
    while (end - in >= 8 && EightSingleBytes(in)) in += 8;
    while (in < end && *in <= 0xA0) ++in;
    std::memcpy(out, run, static_cast<std::size_t>(in - run));
    out += in - run;
    if (in == end) break;

    // A lead byte always takes the next byte, whatever it is; at the end of
    // the input the pair is looked up with a trail byte 0x00.
    const unsigned lead = *in++;
    const unsigned trail = in < end ? *in++ : 0u;
    const auto index = static_cast<std::uint16_t>(lead * 256 + trail - first_code_);
    const std::size_t offset = std::size_t{index} * 2;
    // A code outside the table's range has no entry; it becomes the filler,
    // so the text keeps its length.
    const unsigned char* entry = offset + 2 <= table.size() ? table.data() + offset : kFillerEntry;
    // An entry is a string of at most two bytes that ends at its first zero.
    if (entry[0] == 0) continue;
    *out++ = static_cast<char>(entry[0]);
    if (entry[1] != 0) *out++ = static_cast<char>(entry[1]);
  }
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

TBIG2GB::TBIG2GB(std::span<const DataItem> items)
    : TableConverter(ResourceStream::Open("BIG2GB", items), kBig5FirstCode) {}

TGB2BIG::TGB2BIG(std::span<const DataItem> items)
    : TableConverter(ResourceStream::Open("GB2BIG", items), kGbFirstCode),
      alternative_codes_(ResourceStream::Open("DUPCODE", items)),
      alternative_data_(ResourceStream::Open("DUPDATA", items)) {}

std::string Big5ToGb(std::string_view text) { return TBIG2GB().Convert(text); }

std::string GbToBig5(std::string_view text) { return TGB2BIG().Convert(text); }

std::string ConvertText(std::string_view text, int direction) {
  switch (direction) {
    case kBigToGb:
      return Big5ToGb(text);
    case kGbToBig:
      return GbToBig5(text);
    default:
      return std::string(text);
  }
}

}  // namespace bgconv
