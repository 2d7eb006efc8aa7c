#include "codec/text_stream.h"

#include <cstring>
#include <string>

#include "codec/charset_names.h"
#include "codec/converter.h"

namespace bgconv {
namespace {

bool IsIdentifierByte(unsigned char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte == '_';
}

// A byte that is a character of its own and cannot be part of the next one.
bool EndsCharacter(CodeSet set, unsigned char byte, bool identifiers) {
  return !IsPairLead(byte) && !IsTrailByte(set, byte) && !(identifiers && IsIdentifierByte(byte));
}

// Fills `buffer` unless the input ends first; returns how much it got.
std::size_t ReadFully(const ReadBlock& read, char* buffer, std::size_t size) {
  std::size_t filled = 0;
  while (filled < size) {
    const std::size_t got = read(buffer + filled, size - filled);
    if (got == 0) break;
    filled += got;
  }
  return filled;
}

}  // namespace

std::size_t IndependentPrefix(std::string_view text, CodeSet set, bool identifiers) {
  for (std::size_t end = text.size(); end > 0; --end)
    if (EndsCharacter(set, static_cast<unsigned char>(text[end - 1]), identifiers)) return end;
  // No such byte: walk the characters from the start.  A lead byte in the
  // last place waits for the byte after it.
  std::size_t prefix = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (IsPairLead(byte) && pos + 1 == text.size()) break;
    const std::size_t length = PairLengthAt(set, text, pos);
    pos += length;
    if (length == 2 || !(identifiers && IsIdentifierByte(byte))) prefix = pos;
  }
  return prefix;
}

void ConvertStream(const TextConversion& conversion, const ReadBlock& read, const WriteBlock& write,
                   std::size_t block_size) {
  const CodeSet target = TargetSet(conversion.direction);
  std::string input(block_size, '\0');  // the bytes kept from the last block, then the new block
  std::size_t kept = 0;
  std::string pending;  // converted bytes the charset rewrite has not taken yet
  for (bool at_end = false; !at_end;) {
    if (input.size() < kept + block_size) input.resize(kept + block_size);
    const std::size_t got = ReadFully(read, input.data() + kept, block_size);
    at_end = got < block_size;
    const std::string_view text(input.data(), kept + got);

    const std::size_t cut = at_end ? text.size() : IndependentPrefix(text, SourceSet(conversion.direction), false);
    std::string converted = ConvertText(text.substr(0, cut), conversion.direction);
    kept = text.size() - cut;
    std::memmove(input.data(), input.data() + cut, kept);
    if (!conversion.fix_charset) {
      if (!converted.empty()) write(converted);
      continue;
    }
    pending += converted;
    const std::size_t fixed = at_end ? pending.size() : IndependentPrefix(pending, target, true);
    if (fixed > 0)
      write(FixCharsetNames(std::string_view(pending).substr(0, fixed), target, conversion.direction,
                            conversion.change_default));
    pending.erase(0, fixed);
  }
}

}  // namespace bgconv
