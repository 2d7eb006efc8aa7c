#pragma once
// Converts a text of any length block by block, in bounded memory.  Each
// block is cut where a character ends, and where the charset rewrite is on,
// also where no identifier can go on; so the blocks' results put together are
// the same bytes as converting the whole text at once.

#include <cstddef>
#include <functional>
#include <string_view>

#include "codec/code_set.h"
#include "common/choices.h"

namespace bgconv {

struct TextConversion {
  Direction direction = Direction::kBigToGb;
  bool fix_charset = false;     // rewrite the charset identifiers too
  bool change_default = false;  // with fix_charset, DEFAULT_CHARSET too
};

// Reads up to `size` bytes into `buffer` and returns how many; 0 only at the
// end of the input.  Fails by throwing.
using ReadBlock = std::function<std::size_t(char* buffer, std::size_t size)>;
// Takes the next piece of the result.  Fails by throwing.
using WriteBlock = std::function<void(std::string_view bytes)>;

inline constexpr std::size_t kTextBlockSize = std::size_t{1} << 20;

// The length of the longest prefix of `text` (which starts at a character)
// that ends at a character boundary of `set` whatever follows it; with
// `identifiers`, also one that no run of letters, digits and underscores
// crosses.  Usually found near the end; may be 0.
std::size_t IndependentPrefix(std::string_view text, CodeSet set, bool identifiers);

// Reads the whole input in blocks of `block_size` and writes its conversion.
void ConvertStream(const TextConversion& conversion, const ReadBlock& read, const WriteBlock& write,
                   std::size_t block_size = kTextBlockSize);

}  // namespace bgconv
