#include "codec/text_class.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/reading_cost.h"

namespace bgconv {
namespace {

constexpr std::int64_t Nats(int nats) { return nats * kCostUnitsPerNat; }

// What the whole-text readings pay beyond the costs of their characters.  A
// code-page text may hold UTF-8 lines (memo text saved by a newer editor),
// at a small price per line and per change; a change between Big5 and GBK
// lines is dear, and a text of both code pages is rare in itself.
constexpr std::int64_t kUtf8LineAmongCodePage = Nats(4);
constexpr std::int64_t kUtf8Change = Nats(4);
constexpr std::int64_t kCodePageChange = Nats(12);
constexpr std::int64_t kMixedText = Nats(6);

// The states a line can be in, within a code-page text.  A UTF-8 line keeps
// the code page of the lines around it, so that leaving Big5 for GBK costs
// the same whether UTF-8 lines lie between them or not.
enum State : unsigned { kBig5Line, kGbkLine, kUtf8InBig5, kUtf8InGbk, kStates };

constexpr bool IsUtf8State(unsigned state) { return state >= kUtf8InBig5; }
constexpr bool IsBig5State(unsigned state) { return state == kBig5Line || state == kUtf8InBig5; }

// The best reading of the lines so far that ends in one state.
struct Path {
  std::int64_t cost = 0;
  std::uint32_t hanzi = 0;
  bool outside_gb2312 = false;
  // Bit per State of the lines read in that state, counting a code-page line
  // only when it cannot be UTF-8: what makes a text of two code pages.
  std::uint8_t states_used = 0;
};

constexpr std::int64_t kUnreachable = INT64_MAX / 4;

constexpr std::int64_t ChangeCost(unsigned from, unsigned to) {
  return (IsBig5State(from) != IsBig5State(to) ? kCodePageChange : 0) +
         (IsUtf8State(from) != IsUtf8State(to) ? kUtf8Change : 0);
}

// The cheapest way to read the lines so far, each in one of the `allowed`
// states (bit per State), the text starting in one of the `start` states: a
// Viterbi walk, one line at a time.
class Walk {
 public:
  Walk(unsigned allowed, unsigned start) {
    for (unsigned s = 0; s < kStates; ++s) {
      if (allowed >> s & 1) states_[count_++] = s;
      paths_[s].cost = (start >> s & 1) ? 0 : kUnreachable;
    }
  }

  void Step(const Readings& line) {
    const std::int64_t utf8 = line.utf8.cost + kUtf8LineAmongCodePage;
    const std::int64_t emitted[kStates] = {line.big5.cost, line.gbk.cost, utf8, utf8};
    std::array<Path, kStates> next;
    for (unsigned k = 0; k < count_; ++k) {
      const unsigned to = states_[k];
      unsigned best = to;
      std::int64_t least = kUnreachable;
      for (unsigned j = 0; j < count_; ++j) {
        const unsigned from = states_[j];
        if (const std::int64_t cost = paths_[from].cost + kChangeCosts[from][to]; cost < least) {
          least = cost;
          best = from;
        }
      }
      Path& path = next[to] = paths_[best];
      path.cost = least + emitted[to];
      if (IsUtf8State(to) || line.utf8.invalid > 0)
        path.states_used = static_cast<std::uint8_t>(path.states_used | 1u << to);
      if (!IsUtf8State(to)) {
        const ReadingCost& reading = to == kBig5Line ? line.big5 : line.gbk;
        path.hanzi += static_cast<std::uint32_t>(reading.hanzi);
        path.outside_gb2312 |= reading.outside_gb2312;
      }
    }
    paths_ = next;
  }

  const Path& Best() const {
    const Path* best = &paths_[states_[0]];
    for (unsigned k = 1; k < count_; ++k)
      if (paths_[states_[k]].cost < best->cost) best = &paths_[states_[k]];
    return *best;
  }

 private:
  static constexpr auto kChangeCosts = [] {
    std::array<std::array<std::int64_t, kStates>, kStates> costs{};
    for (unsigned from = 0; from < kStates; ++from)
      for (unsigned to = 0; to < kStates; ++to) costs[from][to] = ChangeCost(from, to);
    return costs;
  }();

  std::array<unsigned, kStates> states_{};
  unsigned count_ = 0;
  std::array<Path, kStates> paths_;
};

struct Candidate {
  TextClass text_class;
  std::int64_t cost;
  std::size_t hanzi;
};

Candidate CodePageCandidate(const Path& path, TextClass code_page) {
  if (code_page == TextClass::kGb2312 && path.outside_gb2312) code_page = TextClass::kGbk;
  return {code_page, path.cost, path.hanzi};
}

// The candidate of least cost; its confidence is its share of the
// likelihood of all candidates.
Classification DecideAmong(const std::vector<Candidate>& candidates) {
  const Candidate& best = *std::min_element(candidates.begin(), candidates.end(),
                                            [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
  double others = 0;
  for (const Candidate& candidate : candidates) {
    if (&candidate != &best) others += std::exp(-static_cast<double>(candidate.cost - best.cost) / kCostUnitsPerNat);
  }
  return {best.text_class, 1.0 / (1.0 + others), best.hanzi};
}

constexpr unsigned kBig5 = 1u << kBig5Line;
constexpr unsigned kGbk = 1u << kGbkLine;
constexpr unsigned kBig5WithUtf8 = kBig5 | 1u << kUtf8InBig5;
constexpr unsigned kGbkWithUtf8 = kGbk | 1u << kUtf8InGbk;

// The readings of a whole text, weighed line by line: all UTF-8, Big5 or
// GBK with UTF-8 lines among it, or lines of both code pages.
class TextReadings {
 public:
  void Add(const Readings& line) {
    utf8_.cost += line.utf8.cost;
    utf8_.hanzi += line.utf8.hanzi;
    big5_.Step(line);
    gbk_.Step(line);
    any_.Step(line);
    lines_ = true;
  }

  bool Empty() const { return !lines_; }

  Classification Decide() const {
    // On a tie the code page wins: it is what a project's files mostly hold.
    std::vector<Candidate> candidates = {
        CodePageCandidate(big5_.Best(), TextClass::kBig5),
        CodePageCandidate(gbk_.Best(), TextClass::kGb2312),
        utf8_,
    };
    if (const Path& any = any_.Best(); (any.states_used & (kBig5 | kGbk)) == (kBig5 | kGbk))
      candidates.push_back({TextClass::kMixed, any.cost + kMixedText, any.hanzi});
    return DecideAmong(candidates);
  }

 private:
  Candidate utf8_{TextClass::kUtf8, 0, 0};
  Walk big5_{kBig5WithUtf8, kBig5};
  Walk gbk_{kGbkWithUtf8, kGbk};
  Walk any_{kBig5WithUtf8 | kGbkWithUtf8, kBig5 | kGbk};
  bool lines_ = false;
};

// Every line of the text that holds a byte 0x80 or above.
TextReadings ReadLines(std::string_view text) {
  TextReadings readings;
  ForEachHighByteLine(text, [&readings](std::size_t, std::string_view line) { readings.Add(ReadingsOf(line)); });
  return readings;
}

// Counts of the bytes that tell text from other data.
struct Census {
  std::size_t nul_at_even = 0;
  std::size_t nul_at_odd = 0;
  std::size_t controls = 0;  // control bytes that text does not use
};

Census TakeCensus(std::string_view bytes) {
  // Tab, line ends, form feed, the DOS end-of-file mark and escape are text.
  constexpr std::uint32_t kTextControls =
      1u << '\t' | 1u << '\n' | 1u << '\v' | 1u << '\f' | 1u << '\r' | 1u << 0x1A | 1u << 0x1B;
  Census census;
  if (bytes.find('\0') != std::string_view::npos) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\0') ++(i % 2 == 0 ? census.nul_at_even : census.nul_at_odd);
  }
  // This runs over every byte of every file a conversion reads: a word of
  // eight bytes none of which lies below 0x20 is passed over at once.
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const auto is_other_control = [](unsigned char byte) { return byte < 0x20 && !(kTextControls >> byte & 1); };
  std::size_t controls = 0;
  std::size_t i = 0;
  for (std::uint64_t word; i + 8 <= bytes.size(); i += 8) {
    std::memcpy(&word, bytes.data() + i, 8);
    if (((word - 0x20 * kOnes) & ~word & kHighBits) == 0) continue;
    for (std::size_t k = i; k < i + 8; ++k) controls += is_other_control(static_cast<unsigned char>(bytes[k]));
  }
  for (; i < bytes.size(); ++i) controls += is_other_control(static_cast<unsigned char>(bytes[i]));
  census.controls = controls;
  return census;
}

std::size_t Utf16Hanzi(std::string_view bytes, bool little_endian) {
  std::size_t hanzi = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    const unsigned unit = little_endian ? second << 8 | first : first << 8 | second;
    hanzi += (unit >= 0x3400 && unit <= 0x9FFF) || (unit >= 0xF900 && unit <= 0xFAFF) ? 1 : 0;
  }
  return hanzi;
}

// UTF-16 text that is mostly ASCII has a NUL in one half of most of its
// units and almost never in the other half; other NUL bytes mean binary data.
Classification ClassifyNulBytes(std::string_view bytes, const Census& census) {
  const std::size_t units = bytes.size() / 2;
  const std::size_t more = std::max(census.nul_at_even, census.nul_at_odd);
  const std::size_t fewer = std::min(census.nul_at_even, census.nul_at_odd);
  if (units == 0 || more * 4 < units || fewer * 8 > more) return {TextClass::kBinary, 1.0, 0};
  const double share = static_cast<double>(more - fewer) / static_cast<double>(units);
  return {TextClass::kUtf16, std::min(1.0, 0.5 + share / 2), Utf16Hanzi(bytes, census.nul_at_odd > census.nul_at_even)};
}

}  // namespace

Classification ClassifyText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return {TextClass::kUtf16, 1.0, Utf16Hanzi(bytes.substr(2), bytes[0] == '\xFF')};
  }
  const Census census = TakeCensus(bytes);
  if (census.nul_at_even + census.nul_at_odd > 0) return ClassifyNulBytes(bytes, census);
  if (census.controls >= 4 && census.controls * 16 > bytes.size()) return {TextClass::kBinary, 1.0, 0};
  const TextReadings readings = ReadLines(bytes);
  if (readings.Empty()) return {TextClass::kAscii, 1.0, 0};
  return readings.Decide();
}

std::string_view TextClassName(TextClass text_class) {
  switch (text_class) {
    case TextClass::kAscii:
      return "ASCII";
    case TextClass::kUtf8:
      return "UTF-8";
    case TextClass::kBig5:
      return "Big5";
    case TextClass::kGb2312:
      return "GB2312";
    case TextClass::kGbk:
      return "GBK";
    case TextClass::kUtf16:
      return "UTF-16";
    case TextClass::kBinary:
      return "binary";
    case TextClass::kMixed:
      break;
  }
  return "mixed";
}

bool IsForeignUtf8Line(std::string_view line, TextClass code_page) {
  const bool big5 = code_page == TextClass::kBig5;
  if (!big5 && code_page != TextClass::kGb2312 && code_page != TextClass::kGbk) return false;
  // Most lines of a code page's text fail at their first high byte.
  if (!IsWellFormedUtf8(line)) return false;
  const Readings readings = ReadingsOf(line);
  const ReadingCost& utf8 = readings.utf8;
  if (utf8.invalid > 0 || utf8.multibyte == 0) return false;
  return utf8.cost + kUtf8LineAmongCodePage < (big5 ? readings.big5 : readings.gbk).cost;
}

}  // namespace bgconv
