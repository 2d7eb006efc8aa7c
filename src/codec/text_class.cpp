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

// One line that holds a byte 0x80 or above, in each reading.
struct LineCosts {
  ReadingCost utf8;
  ReadingCost big5;
  ReadingCost gbk;
};

// The states a line can be in, within a code-page text.
enum State : unsigned { kBig5Line, kGbkLine, kUtf8Line, kStates };

// The best reading of the lines so far that ends in one state.
struct Path {
  std::int64_t cost = 0;
  std::size_t hanzi = 0;
  bool outside_gb2312 = false;
  unsigned states_used = 0;  // bit per State
};

constexpr std::int64_t kUnreachable = INT64_MAX / 4;

std::int64_t ChangeCost(unsigned from, unsigned to) {
  if (from == to) return 0;
  return from == kUtf8Line || to == kUtf8Line ? kUtf8Change : kCodePageChange;
}

Path Emit(Path path, const LineCosts& line, unsigned state) {
  path.states_used |= 1u << state;
  if (state == kUtf8Line) {
    path.cost += line.utf8.cost + kUtf8LineAmongCodePage;
  } else {
    const ReadingCost& reading = state == kBig5Line ? line.big5 : line.gbk;
    path.cost += reading.cost;
    path.hanzi += reading.hanzi;
    path.outside_gb2312 |= reading.outside_gb2312;
  }
  return path;
}

// The cheapest way to read every line in one of the `allowed` states (bit
// per State), the text starting in one of the `start` states: a Viterbi walk
// over the lines.
Path BestPath(const std::vector<LineCosts>& lines, unsigned allowed, unsigned start) {
  std::array<Path, kStates> paths;
  for (unsigned s = 0; s < kStates; ++s) paths[s].cost = (start >> s & 1) ? 0 : kUnreachable;
  for (const LineCosts& line : lines) {
    std::array<Path, kStates> next;
    for (unsigned to = 0; to < kStates; ++to) {
      next[to].cost = kUnreachable;
      if (!(allowed >> to & 1)) continue;
      for (unsigned from = 0; from < kStates; ++from) {
        if (paths[from].cost >= kUnreachable) continue;
        Path candidate = paths[from];
        candidate.cost += ChangeCost(from, to);
        candidate = Emit(candidate, line, to);
        if (candidate.cost < next[to].cost) next[to] = candidate;
      }
    }
    paths = next;
  }
  return *std::min_element(paths.begin(), paths.end(),
                           [](const Path& a, const Path& b) { return a.cost < b.cost; });
}

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
Classification Decide(const std::vector<Candidate>& candidates) {
  const Candidate& best = *std::min_element(candidates.begin(), candidates.end(),
                                            [](const Candidate& a, const Candidate& b) { return a.cost < b.cost; });
  double others = 0;
  for (const Candidate& candidate : candidates) {
    if (&candidate != &best) others += std::exp(-static_cast<double>(candidate.cost - best.cost) / kCostUnitsPerNat);
  }
  return {best.text_class, 1.0 / (1.0 + others), best.hanzi};
}

Classification ClassifyLines(const std::vector<LineCosts>& lines) {
  Candidate utf8{TextClass::kUtf8, 0, 0};
  for (const LineCosts& line : lines) {
    utf8.cost += line.utf8.cost;
    utf8.hanzi += line.utf8.hanzi;
  }
  constexpr unsigned kBig5 = 1u << kBig5Line, kGbk = 1u << kGbkLine, kUtf8 = 1u << kUtf8Line;
  // On a tie the code page wins: it is what a project's files mostly hold.
  std::vector<Candidate> candidates = {
      CodePageCandidate(BestPath(lines, kBig5 | kUtf8, kBig5), TextClass::kBig5),
      CodePageCandidate(BestPath(lines, kGbk | kUtf8, kGbk), TextClass::kGb2312),
      utf8,
  };
  if (const Path any = BestPath(lines, kBig5 | kGbk | kUtf8, kBig5 | kGbk);
      (any.states_used & (kBig5 | kGbk)) == (kBig5 | kGbk)) {
    candidates.push_back({TextClass::kMixed, any.cost + kMixedText, any.hanzi});
  }
  return Decide(candidates);
}

bool IsHighByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

std::vector<LineCosts> CostsOfLines(std::string_view text) {
  std::vector<LineCosts> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    if (std::any_of(line.begin(), line.end(), IsHighByte)) {
      lines.push_back({CostOf(line, Reading::kUtf8), CostOf(line, Reading::kBig5), CostOf(line, Reading::kGbk)});
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// Counts of the bytes that tell text from other data.
struct Census {
  std::size_t nul_at_even = 0;
  std::size_t nul_at_odd = 0;
  std::size_t controls = 0;  // control bytes that text does not use
  std::size_t high = 0;
};

Census TakeCensus(std::string_view bytes) {
  // Tab, line ends, form feed, the DOS end-of-file mark and escape are text.
  constexpr std::uint32_t kTextControls = 1u << '\t' | 1u << '\n' | 1u << '\v' | 1u << '\f' | 1u << '\r' |
                                          1u << 0x1A | 1u << 0x1B;
  Census census;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0) {
      ++(i % 2 == 0 ? census.nul_at_even : census.nul_at_odd);
    } else if (byte < 0x20) {
      census.controls += (kTextControls >> byte & 1) ? 0 : 1;
    }
    census.high += byte >> 7;
  }
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
  return {TextClass::kUtf16, std::min(1.0, 0.5 + share / 2),
          Utf16Hanzi(bytes, census.nul_at_odd > census.nul_at_even)};
}

}  // namespace

Classification ClassifyText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return {TextClass::kUtf16, 1.0, Utf16Hanzi(bytes.substr(2), bytes[0] == '\xFF')};
  }
  const Census census = TakeCensus(bytes);
  if (census.nul_at_even + census.nul_at_odd > 0) return ClassifyNulBytes(bytes, census);
  if (census.controls >= 4 && census.controls * 16 > bytes.size()) return {TextClass::kBinary, 1.0, 0};
  if (census.high == 0) return {TextClass::kAscii, 1.0, 0};
  return ClassifyLines(CostsOfLines(bytes));
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
  Reading reading = Reading::kBig5;
  if (code_page == TextClass::kGb2312 || code_page == TextClass::kGbk) {
    reading = Reading::kGbk;
  } else if (code_page != TextClass::kBig5) {
    return false;
  }
  const ReadingCost utf8 = CostOf(line, Reading::kUtf8);
  if (utf8.invalid > 0 || utf8.multibyte == 0) return false;
  return utf8.cost + kUtf8LineAmongCodePage < CostOf(line, reading).cost;
}

}  // namespace bgconv
