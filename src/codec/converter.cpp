#include "codec/converter.h"

#include <bit>
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

TableConverter::TableConverter(ResourceStream table, std::uint16_t first_code)
    : table_(table),
      first_code_(first_code),
      zero_free_(std::memchr(table.Bytes().data(), 0, table.Size()) == nullptr) {}

std::string TableConverter::Convert(std::string_view input) const {
  return zero_free_ ? Scan<true>(input) : Scan<false>(input);
}

template <bool kZeroFree>
std::string TableConverter::Scan(std::string_view input) const {
  // Locals, not members: the output stores could otherwise alias them and
  // force a reload per pair.
  const unsigned char* const table = table_.Bytes().data();
  const std::size_t entries = table_.Size() / 2;
  const unsigned first_code = first_code_;
  // Every pair yields at most two bytes; only a lead byte at the very end can
  // make the result one byte longer than the input.  So the output never runs
  // ahead of the input, and stores of up to eight bytes stay inside.
  std::string result(input.size() + 1, '\0');
  char* out = result.data();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const auto* const end = in + input.size();

  // A code outside the table's range has no entry; it becomes the filler, so
  // the text keeps its length.
  const auto entry_of = [&](unsigned lead, unsigned trail) {
    const auto index = static_cast<std::uint16_t>(lead * 256 + trail - first_code);
    return index < entries ? table + std::size_t{index} * 2 : kFillerEntry;
  };
  // An entry is a string of at most two bytes that ends at its first zero; a
  // table without zero bytes always yields two, which keeps the output
  // position independent of the looked-up data.
  const auto emit = [&](unsigned lead, unsigned trail) {
    const unsigned char* entry = entry_of(lead, trail);
    std::memcpy(out, entry, 2);
    if constexpr (kZeroFree) {
      out += 2;
    } else {
      out += (entry[0] != 0) * (1 + (entry[1] != 0));
    }
  };

  while (in < end) {
    while (end - in >= 8 && EightSingleBytes(in)) {
      std::memcpy(out, in, 8);
      in += 8;
      out += 8;
    }
    while (in < end && *in <= 0xA0) *out++ = static_cast<char>(*in++);
    if constexpr (kZeroFree) {
      // Four pairs at a time while the next four lead bytes line up.
      while (end - in >= 8 && ((in[0] > 0xA0) & (in[2] > 0xA0) & (in[4] > 0xA0) & (in[6] > 0xA0))) {
        std::memcpy(out, entry_of(in[0], in[1]), 2);
        std::memcpy(out + 2, entry_of(in[2], in[3]), 2);
        std::memcpy(out + 4, entry_of(in[4], in[5]), 2);
        std::memcpy(out + 6, entry_of(in[6], in[7]), 2);
        in += 8;
        out += 8;
      }
    }
    // A lead byte always takes the next byte, whatever it is.
    while (end - in >= 2 && *in > 0xA0) {
      emit(in[0], in[1]);
      in += 2;
    }
    // At the end of the input a lead byte is looked up with a trail byte 0x00.
    if (end - in == 1 && *in > 0xA0) {
      emit(*in, 0);
      ++in;
    }
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
