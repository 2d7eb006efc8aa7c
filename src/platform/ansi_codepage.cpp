#include "platform/ansi_codepage.h"

namespace bgconv {

std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  return (IsLeadByte(byte) && pos + 1 < text.size()) ? 2 : 1;
}

bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle) {
  if (text.size() - pos < needle.size()) return false;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto have = static_cast<unsigned char>(text[pos + i]);
    // A lead byte inside the window would make a trail byte part of the
    // match; the needles are single-byte text, so it simply does not match.
    if (IsLeadByte(have)) return false;
    if (AnsiUpper(have) != AnsiUpper(static_cast<unsigned char>(needle[i]))) return false;
  }
  return true;
}

}  // namespace bgconv

namespace bgconv {

bool EndsWithSingleByte(std::string_view text, char byte) {
  if (text.empty() || text.back() != byte) return false;
  // Only a scan from the start knows where the characters begin.
  std::size_t pos = 0;
  std::size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    pos += CharLengthAt(text, pos);
  }
  return last == text.size() - 1;
}

}  // namespace bgconv
