#pragma once
// The ANSI code page of the text the system handles: Big5 (950) or GB2312 (936).
// Both take 0x81-0xFE as lead bytes of a double-byte character, so every scan
// that must not look inside a character (case-insensitive matching, splitting
// strings) can step over a lead byte and its trail byte the same way.

#include <cstdint>
#include <string_view>

namespace bgconv {

constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Upper case in the ANSI code page for a single-byte character: only ASCII
// letters change.  Callers never pass a trail byte here.
constexpr unsigned char AnsiUpper(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// Length in bytes of the character that starts at text[pos]: 2 for a lead byte
// followed by another byte, otherwise 1.
std::size_t CharLengthAt(std::string_view text, std::size_t pos);

// True when `needle` (single-byte characters only) stands at `pos`, compared
// without regard to case.
bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle);

}  // namespace bgconv

namespace bgconv {

// True when the last character of `text` is the single byte `byte`, not the
// trail byte of a double-byte character that happens to have the same value
// (0x5C "\" and 0x5D "]" both occur as trail bytes).
bool EndsWithSingleByte(std::string_view text, char byte);

}  // namespace bgconv
