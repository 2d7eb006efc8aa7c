#include "codec/converter.h"

#include <bit>
#include <cstring>
#include <iterator>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/errors.h"

namespace bgconv {
namespace {

struct Table {
  const unsigned char* entries;
  std::size_t count;
  unsigned first_code;

  // A code outside the table's range has no entry; it becomes the filler, so
  // the text keeps its length.
  const unsigned char* EntryOf(unsigned lead, unsigned trail) const {
    const auto index = static_cast<std::uint16_t>(lead * 256 + trail - first_code);
    return index < count ? entries + std::size_t{index} * 2 : kFillerEntry;
  }
};

// Copies single-byte characters below 0x80, eight at a time, up to the first
// byte with its high bit set.  Each step stores all eight bytes; those past
// that byte are overwritten by what follows.
void CopySingleBytes(const unsigned char*& in, const unsigned char* end, char*& out) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  while (end - in >= 8) {
    std::uint64_t word;
    std::memcpy(&word, in, 8);
    std::memcpy(out, &word, 8);
    const std::uint64_t high = word & kHighBits;
    if constexpr (std::endian::native == std::endian::little) {
      const int run = high == 0 ? 8 : std::countr_zero(high) / 8;
      in += run;
      out += run;
      if (run < 8) return;
    } else {
      if (high != 0) return;
      in += 8;
      out += 8;
    }
  }
}

// 1 when `at` holds a lead byte and a trail byte of the source set, else 0;
// both tests are made and combined without a branch between them.
template <CodeSet kSource>
unsigned StartsPair(const unsigned char* at) {
  return static_cast<unsigned>(IsPairLead(at[0])) & static_cast<unsigned>(IsTrailByte(kSource, at[1]));
}

// Converts four pairs at a time while the next eight bytes are four whole
// pairs.  Built everywhere, the kernel of processors without SSE2.
template <CodeSet kSource>
void ConvertPairBlocksPortable(const unsigned char*& in, const unsigned char* end, char*& out, const Table& table) {
  while (end - in >= 8 && (StartsPair<kSource>(in) & StartsPair<kSource>(in + 2) & StartsPair<kSource>(in + 4) &
                           StartsPair<kSource>(in + 6))) {
    for (std::size_t pair = 0; pair < 4; ++pair)
      std::memcpy(out + 2 * pair, table.EntryOf(in[2 * pair], in[2 * pair + 1]), 2);
    in += 8;
    out += 8;
  }
}

#if defined(__SSE2__)
// Converts eight pairs at a time while the next sixteen bytes are eight lead
// bytes, each followed by a trail byte of the source set, and every code lies
// inside the table; then four more where only they are whole pairs, as at the
// end of a line.
template <CodeSet kSource>
void ConvertPairBlocksSse2(const unsigned char*& in, const unsigned char* end, char*& out, const Table& table) {
  // Signed comparisons: with its high bit flipped, 0xA1-0xFE is 0x21-0x7E.
  const __m128i high_bit = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i last_single = _mm_set1_epi8(0x20);  // 0xA0 with its high bit flipped
  const __m128i all_ones = _mm_set1_epi8(static_cast<char>(0xFF));
  const __m128i below_low_trails = _mm_set1_epi8(0x3F);
  const __m128i above_low_trails = _mm_set1_epi8(0x7F);
  const __m128i first = _mm_set1_epi16(static_cast<short>(table.first_code));
  const __m128i sign = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i count = _mm_set1_epi16(static_cast<short>(table.count ^ 0x8000));
  // One bit per byte of `block` that belongs to a whole pair inside the
  // table; `index` gets the table index of each 16-bit lane.
  const auto whole_pairs = [&](__m128i block, __m128i& index) {
    const __m128i lead = _mm_cmpgt_epi8(_mm_xor_si128(block, high_bit), last_single);
    // Trail bytes: 0xA1-0xFE, that is a lead byte other than 0xFF; Big5 adds 0x40-0x7E.
    __m128i trail = _mm_andnot_si128(_mm_cmpeq_epi8(block, all_ones), lead);
    if constexpr (kSource == CodeSet::kBig5) {
      trail = _mm_or_si128(
          trail, _mm_and_si128(_mm_cmpgt_epi8(block, below_low_trails), _mm_cmplt_epi8(block, above_low_trails)));
    }
    // Each 16-bit lane holds lead byte and trail byte; swapped, it is the code.
    const __m128i code = _mm_or_si128(_mm_slli_epi16(block, 8), _mm_srli_epi16(block, 8));
    index = _mm_sub_epi16(code, first);
    // Unsigned index < count, compared as signed numbers with the sign flipped.
    const __m128i in_table = _mm_cmplt_epi16(_mm_xor_si128(index, sign), count);
    // One branch for all three conditions: a block ends where a line ends,
    // and which condition fails there is anyone's guess.
    return ((_mm_movemask_epi8(lead) & 0x5555) | (_mm_movemask_epi8(trail) & 0xAAAA)) & _mm_movemask_epi8(in_table);
  };
  const auto put = [&](int pair, int lane) {
    std::memcpy(out + 2 * static_cast<std::size_t>(pair), table.entries + 2 * static_cast<std::size_t>(lane), 2);
  };
  const unsigned char* const start = in;
  __m128i index;
  while (end - in >= 16 && whole_pairs(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), index) == 0xFFFF) {
    put(0, _mm_extract_epi16(index, 0));
    put(1, _mm_extract_epi16(index, 1));
    put(2, _mm_extract_epi16(index, 2));
    put(3, _mm_extract_epi16(index, 3));
    put(4, _mm_extract_epi16(index, 4));
    put(5, _mm_extract_epi16(index, 5));
    put(6, _mm_extract_epi16(index, 6));
    put(7, _mm_extract_epi16(index, 7));
    in += 16;
    out += 16;
  }
  // Only after a long run: a short one (a word in a literal) would pay for
  // two failed tries instead of one.
  if (in != start && end - in >= 8 &&
      (whole_pairs(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)), index) & 0xFF) == 0xFF) {
    put(0, _mm_extract_epi16(index, 0));
    put(1, _mm_extract_epi16(index, 1));
    put(2, _mm_extract_epi16(index, 2));
    put(3, _mm_extract_epi16(index, 3));
    in += 8;
    out += 8;
  }
}
#endif

// `table` is a copy, not a reference: the output stores could otherwise
// alias it and force a reload per pair.
template <PairKernel kKernel, CodeSet kSource>
std::string Scan(const Table table, std::string_view input) {
  // Every character yields as many bytes as it takes, so the output never
  // runs ahead of the input and the block stores stay inside.
  std::string result(input.size(), '\0');
  char* out = result.data();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const auto* const end = in + input.size();

  while (in < end) {
    CopySingleBytes(in, end, out);
    while (in < end && !IsPairLead(*in)) *out++ = static_cast<char>(*in++);
#if defined(__SSE2__)
    if constexpr (kKernel == PairKernel::kSse2) ConvertPairBlocksSse2<kSource>(in, end, out, table);
#endif
    if constexpr (kKernel == PairKernel::kPortable) ConvertPairBlocksPortable<kSource>(in, end, out, table);
    // One branch per pair: in Chinese text the two Big5 trail byte ranges
    // alternate at random.
    while (end - in >= 2 && StartsPair<kSource>(in)) {
      std::memcpy(out, table.EntryOf(in[0], in[1]), 2);
      out += 2;
      in += 2;
    }
    // A lead byte without a trail byte (a Latin-1 letter, a cut character)
    // becomes one blank and the next byte is read on its own: no quote or
    // line end is ever swallowed.
    if (in < end && IsPairLead(*in)) {
      *out++ = ' ';
      ++in;
    }
  }
  return result;
}

template <PairKernel kKernel>
std::string ScanFrom(CodeSet source, const Table& table, std::string_view input) {
  return source == CodeSet::kBig5 ? Scan<kKernel, CodeSet::kBig5>(table, input)
                                  : Scan<kKernel, CodeSet::kGb2312>(table, input);
}

#if defined(__SSE2__)
constexpr PairKernel kBuiltKernels[] = {PairKernel::kPortable, PairKernel::kSse2};
#else
constexpr PairKernel kBuiltKernels[] = {PairKernel::kPortable};
#endif

}  // namespace

std::span<const PairKernel> BuiltKernels() { return kBuiltKernels; }

TableConverter::TableConverter(ResourceStream table, std::string_view name, std::uint16_t first_code, CodeSet source)
    : table_(table), first_code_(first_code), source_(source) {
  if (std::memchr(table.Bytes().data(), 0, table.Size()) != nullptr)
    throw Exception("Resource " + std::string(name) + " holds an entry shorter than two bytes");
}

std::string TableConverter::Convert(std::string_view input) const {
  return ConvertWith(kBuiltKernels[std::size(kBuiltKernels) - 1], input);
}

std::string TableConverter::ConvertWith(PairKernel kernel, std::string_view input) const {
  const Table table{table_.Bytes().data(), table_.Size() / 2, first_code_};
#if defined(__SSE2__)
  if (kernel == PairKernel::kSse2) return ScanFrom<PairKernel::kSse2>(source_, table, input);
#endif
  return ScanFrom<PairKernel::kPortable>(source_, table, input);
}

TBIG2GB::TBIG2GB(std::span<const DataItem> items)
    : TableConverter(ResourceStream::Open("BIG2GB", items), "BIG2GB", kBig5FirstCode, CodeSet::kBig5) {}

TGB2BIG::TGB2BIG(std::span<const DataItem> items)
    : TableConverter(ResourceStream::Open("GB2BIG", items), "GB2BIG", kGbFirstCode, CodeSet::kGb2312),
      alternative_codes_(ResourceStream::Open("DUPCODE", items)),
      alternative_data_(ResourceStream::Open("DUPDATA", items)) {}

std::string Big5ToGb(std::string_view text) { return TBIG2GB().Convert(text); }

std::string GbToBig5(std::string_view text) { return TGB2BIG().Convert(text); }

std::string ConvertText(std::string_view text, Direction direction) {
  return direction == Direction::kBigToGb ? Big5ToGb(text) : GbToBig5(text);
}

}  // namespace bgconv
