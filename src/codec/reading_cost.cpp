#include "codec/reading_cost.h"

#include <array>
#include <cstring>
#include <span>
#include <utility>

#include "codec/reading_cost_data.h"

namespace bgconv {
namespace {

static_assert(reading_data::kCostUnitsPerNat == kCostUnitsPerNat);

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr std::size_t kTrails = kLastTrail - kFirstTrail + 1;
constexpr std::uint8_t kInvalidFlag = 4;

// One character of one code page, or a pair that does not decode there.
struct Character {
  std::uint8_t cost = static_cast<std::uint8_t>(kInvalidCost);
  std::uint8_t flags = kInvalidFlag;
};
static_assert(kInvalidCost <= 255);

void Add(ReadingCost& result, Character character) {
  const unsigned invalid = (character.flags & kInvalidFlag) != 0;
  result.cost += character.cost;
  result.invalid += invalid;
  result.multibyte += 1 - invalid;
  result.hanzi += character.flags & reading_data::kHanziFlag;
  result.outside_gb2312 |= (character.flags & reading_data::kOutsideGb2312Flag) != 0;
}

// Every double-byte code in both code pages, laid out flat so that a scan
// costs one lookup per character.
class CodeTable {
 public:
  CodeTable() {
    Fill(&Cell::big5, {reading_data::kBig5Runs, reading_data::kBig5RunCount},
         {reading_data::kBig5Counted, reading_data::kBig5CountedCount});
    Fill(&Cell::gbk, {reading_data::kGbkRuns, reading_data::kGbkRunCount},
         {reading_data::kGbkCounted, reading_data::kGbkCountedCount});
  }

  struct Cell {
    Character big5;
    Character gbk;
  };

  // `lead` 0x81-0xFE, `trail` 0x40-0xFE.
  const Cell& At(unsigned lead, unsigned trail) const { return cells_[Index(lead, trail)]; }

 private:
  static std::size_t Index(unsigned lead, unsigned trail) {
    return (lead - kFirstLead) * kTrails + (trail - kFirstTrail);
  }

  void Fill(Character Cell::*page, std::span<const reading_data::CodeRun> runs,
            std::span<const reading_data::CountedCode> counted) {
    for (const auto& run : runs)
      for (unsigned code = run.first; code <= run.last; ++code)
        cells_[Index(code >> 8, code & 0xFF)].*page = {run.cost, run.flags};
    for (const auto& item : counted) (cells_[Index(item.code >> 8, item.code & 0xFF)].*page).cost = item.cost;
  }

  std::array<Cell, (kLastLead - kFirstLead + 1) * kTrails> cells_{};
};

const CodeTable& Codes() {
  static const CodeTable table;
  return table;
}

std::size_t SkipAscii(const unsigned char* bytes, std::size_t i, std::size_t size) {
  return FirstHighByte({reinterpret_cast<const char*>(bytes), size}, i);
}

// The sums are kept in locals: stored through `result` they would be
// reloaded after every byte read (a byte pointer may point anywhere).
void ReadCodePages(const unsigned char* bytes, std::size_t size, Readings& readings) {
  const CodeTable& codes = Codes();
  const Character invalid;
  struct {
    ReadingCost big5, gbk;
  } result;
  for (std::size_t i = 0; i < size;) {
    const unsigned lead = bytes[i];
    if (lead < 0x80) {
      i = SkipAscii(bytes, i, size);
      continue;
    }
    const unsigned trail = i + 1 < size ? bytes[i + 1] : 0;
    // A byte that leads nothing, or a lead before a byte that trails nothing
    // (an ASCII letter is a trail byte, a line end is not), spoils one byte.
    if (lead < kFirstLead || lead > kLastLead || trail < kFirstTrail) {
      Add(result.big5, invalid);
      Add(result.gbk, invalid);
      ++i;
      continue;
    }
    i += 2;
    if (trail > kLastTrail) {
      Add(result.big5, invalid);
      Add(result.gbk, invalid);
      continue;
    }
    const CodeTable::Cell& cell = codes.At(lead, trail);
    Add(result.big5, cell.big5);
    Add(result.gbk, cell.gbk);
  }
  readings.big5 = result.big5;
  readings.gbk = result.gbk;
}

bool IsHanzi(char32_t point) {
  return (point >= 0x3400 && point <= 0x9FFF) || (point >= 0xF900 && point <= 0xFAFF) ||
         (point >= 0x20000 && point <= 0x3FFFF);
}

// Flat costs of the characters of UTF-8 text in a Chinese project: hanzi and
// their punctuation are ordinary, everything else is rare, and the letters
// of other scripts rarest (a high-byte pair of Big5 or GB2312 text often reads
// as one of them).
std::int64_t Utf8CharacterCost(char32_t point, bool first) {
  constexpr auto kNats = [](double nats) { return static_cast<std::int64_t>(nats * kCostUnitsPerNat); };
  if (point == 0xFEFF) return first ? 0 : kNats(12);
  if (IsHanzi(point)) return kNats(8.5);
  if ((point >= 0x3000 && point <= 0x303F) || (point >= 0xFF00 && point <= 0xFFEF)) return kNats(5.5);
  if (point >= 0x2000 && point <= 0x206F) return kNats(6);
  if (point < 0x100) return kNats(12);
  if (point < 0x800) return kNats(14);
  return kNats(12);
}

// The code point of the sequence at `bytes` (`size` bytes left), with its
// length; length 0 when it is not well-formed UTF-8.
std::pair<char32_t, std::size_t> DecodeUtf8(const unsigned char* bytes, std::size_t size) {
  const unsigned lead = bytes[0];
  std::size_t length = 0;
  char32_t point = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, point = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, point = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, point = lead & 0x07, least = 0x10000;
  }
  if (length == 0 || length > size) return {0, 0};
  for (std::size_t k = 1; k < length; ++k) {
    if ((bytes[k] & 0xC0) != 0x80) return {0, 0};
    point = point << 6 | (bytes[k] & 0x3F);
  }
  if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {0, 0};
  return {point, length};
}

void ReadUtf8(const unsigned char* bytes, std::size_t size, ReadingCost& reading) {
  ReadingCost result;  // in locals, as in ReadCodePages
  for (std::size_t i = 0; i < size;) {
    if (bytes[i] < 0x80) {
      i = SkipAscii(bytes, i, size);
      continue;
    }
    const auto [point, length] = DecodeUtf8(bytes + i, size - i);
    if (length == 0) {
      result.cost += kInvalidCost;
      ++result.invalid;
      ++i;
      continue;
    }
    result.cost += Utf8CharacterCost(point, i == 0);
    ++result.multibyte;
    result.hanzi += IsHanzi(point) ? 1u : 0u;
    i += length;
  }
  reading = result;
}

}  // namespace

bool IsWellFormedUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    if (bytes[i] < 0x80) {
      i = SkipAscii(bytes, i, text.size());
      continue;
    }
    const std::size_t length = DecodeUtf8(bytes + i, text.size() - i).second;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

Readings ReadingsOf(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  Readings result;
  ReadUtf8(bytes, text.size(), result.utf8);
  ReadCodePages(bytes, text.size(), result);
  return result;
}

}  // namespace bgconv
