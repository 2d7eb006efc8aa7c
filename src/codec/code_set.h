#pragma once
// How the built-in engine reads a text into characters.  A byte 0x00-0xA0 is
// a single-byte character.  A byte 0xA1-0xFF is a lead byte: followed by a
// trail byte of the text's code set it starts a double-byte character;
// followed by anything else, or by nothing, it stands alone (a Latin-1
// letter, a cut character), so no quote or line end is ever taken as its
// trail byte.  The converter and the charset rewrite both step by this rule.

#include <array>
#include <cstddef>
#include <string_view>

namespace bgconv {

enum class CodeSet { kBig5, kGb2312 };

constexpr bool IsPairLead(unsigned char byte) { return byte >= 0xA1; }

// Big5 trail bytes are 0x40-0x7E and 0xA1-0xFE; GB2312 trail bytes 0xA1-0xFE.
// Looked up rather than compared: in Chinese text the two Big5 ranges come in
// random order, and a branch per character would mispredict half the time.
inline constexpr auto kTrailBytes = [] {
  std::array<std::array<bool, 256>, 2> table{};
  for (std::size_t byte = 0xA1; byte <= 0xFE; ++byte) table[0][byte] = table[1][byte] = true;
  for (std::size_t byte = 0x40; byte <= 0x7E; ++byte) table[static_cast<std::size_t>(CodeSet::kBig5)][byte] = true;
  return table;
}();

constexpr bool IsTrailByte(CodeSet set, unsigned char byte) { return kTrailBytes[static_cast<std::size_t>(set)][byte]; }

// 2 when text[pos] is a lead byte followed by a trail byte of `set`, else 1.
constexpr std::size_t PairLengthAt(CodeSet set, std::string_view text, std::size_t pos) {
  return IsPairLead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
                 IsTrailByte(set, static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

}  // namespace bgconv
