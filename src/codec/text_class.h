#pragma once
// Tells what a file's bytes are before a conversion touches them: plain
// ASCII, UTF-8, Big5, GB2312, GBK, UTF-16, binary, or lines of more than one
// Chinese code page.  Big5 and GB2312 are both runs of high-byte pairs, so
// they are told apart by which reading gives ordinary Chinese text: each
// line is weighed in the Big5, the GBK and the UTF-8 reading by character
// frequencies of Taiwan's and the mainland's text, and the whole text takes
// the reading (a code page, with UTF-8 lines among it) that explains it best.

#include <cstddef>
#include <string_view>

namespace bgconv {

enum class TextClass {
  kAscii,   // no byte 0x80 or above
  kUtf8,    // well-formed UTF-8 with at least one multi-byte character (a BOM counts)
  kBig5,    // Big5 (Windows code page 950), perhaps with UTF-8 lines among it
  kGb2312,  // GB2312, perhaps with UTF-8 lines among it
  kGbk,     // GBK (Windows code page 936) with characters that GB2312 lacks
  kUtf16,   // a UTF-16 byte order mark, or the NUL bytes of UTF-16 text
  kBinary,  // other NUL bytes, or many control bytes
  kMixed,   // lines in Big5 and lines in GB2312 or GBK
};

struct Classification {
  TextClass text_class = TextClass::kAscii;
  // How sure the decision is, up to 1: the likelihood of the chosen reading
  // over the sum of the likelihoods of all readings weighed.
  double confidence = 1.0;
  // The number of hanzi the decision rests on (in the chosen reading).
  std::size_t hanzi = 0;
};

Classification ClassifyText(std::string_view bytes);

// "ASCII", "UTF-8", "Big5", "GB2312", "GBK", "UTF-16", "binary", "mixed".
std::string_view TextClassName(TextClass text_class);

// True when `line` is well-formed UTF-8 with at least one multi-byte
// character and is less plausible as text of `code_page` (kBig5, or kGb2312
// and kGbk for code page 936) than as UTF-8: such a line is kept as it is
// while the lines around it convert.  False for any other `code_page`.
bool IsForeignUtf8Line(std::string_view line, TextClass code_page);

}  // namespace bgconv
