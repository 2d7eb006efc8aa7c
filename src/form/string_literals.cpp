#include "form/string_literals.h"

#include <span>
#include <vector>

#include "platform/ansi_codepage.h"

namespace bgconv {
namespace {

constexpr std::size_t kUnitsPerLine = 64;

// For each position, whether the byte there is the trail byte of a
// double-byte character: the lead bytes right before it form an unbroken run
// of odd length.
std::vector<bool> TrailBytePositions(std::string_view bytes) {
  std::vector<bool> trail(bytes.size());
  std::size_t lead_run = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    trail[i] = lead_run % 2 == 1;
    lead_run = IsLeadByte(static_cast<unsigned char>(bytes[i])) ? lead_run + 1 : 0;
  }
  return trail;
}

// The line-splitting walk shared by byte strings and wide strings.  `Units`
// is a span or view of units; `in_run` tells which units stand in quotes; `split_inside`
// whether a line break before a position would cut a character in two.
template <typename Units, typename InRun, typename SplitInside>
void WriteSplitString(FormTextWriter& writer, Units units, InRun in_run, SplitInside split_inside) {
  const std::size_t length = units.size();
  if (length == 0) {
    writer.Write("''");
    return;
  }
  writer.Nest();
  if (length > kUnitsPerLine) writer.NewLine();
  std::size_t line_start = 0;
  std::size_t i = 0;
  while (i < length) {
    bool break_due = false;
    if (in_run(units[i])) {
      const std::size_t run_start = i;
      while (i < length && in_run(units[i]) && i - line_start < kUnitsPerLine) ++i;
      if (i - line_start >= kUnitsPerLine) {
        break_due = true;
        if (i < length && split_inside(i)) --i;
      }
      writer.Write('\'');
      for (std::size_t j = run_start; j < i; ++j) writer.Write(static_cast<char>(units[j]));
      writer.Write('\'');
    } else {
      writer.Write('#');
      writer.Write(std::to_string(static_cast<unsigned>(units[i])));
      ++i;
      break_due = i - line_start >= kUnitsPerLine;
    }
    if (break_due && i < length) {
      writer.Write(" +");
      writer.NewLine();
      line_start = i;
    }
  }
  writer.Unnest();
}

}  // namespace

void WriteByteString(FormTextWriter& writer, std::string_view bytes) {
  // Only a string that spans lines needs to know where its characters lie.
  const auto trail = bytes.size() > kUnitsPerLine ? TrailBytePositions(bytes) : std::vector<bool>();
  const std::span<const unsigned char> units(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  WriteSplitString(
      writer, units, [](unsigned char byte) { return byte >= 32 && byte != '\''; },
      [&trail](std::size_t position) { return static_cast<bool>(trail[position]); });
}

void WriteWideString(FormTextWriter& writer, std::u16string_view units) {
  WriteSplitString(
      writer, units, [](char16_t unit) { return unit >= 32 && unit <= 127 && unit != u'\''; },
      [](std::size_t) { return false; });
}

std::u16string DecodeUtf8Value(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i++]);
    if (lead < 0x80) {
      units += static_cast<char16_t>(lead);
      continue;
    }
    const int continuations = (lead & 0x20) != 0 ? 2 : 1;
    std::uint32_t value = lead & 0x3F;
    for (int k = 0; k < continuations; ++k) {
      if (i == bytes.size()) return {};
      const auto next = static_cast<unsigned char>(bytes[i++]);
      if ((next & 0xC0) != 0x80) return {};
      value = (value << 6) | (next & 0x3F);
    }
    units += static_cast<char16_t>(value & 0xFFFF);
  }
  return units;
}

}  // namespace bgconv
