#include "platform/line_form.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bgconv {

std::string NormalizeLineBreaks(std::string_view text) {
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  std::string result;
  result.reserve(text.size() + text.size() / 32 + 2);
  const char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t pos = 0;
  while (pos < size) {
    std::size_t end = pos;
    while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
    result.append(data + pos, end - pos);
    result += "\r\n";
    pos = end;
    if (pos < size && data[pos] == '\r') ++pos;
    if (pos < size && data[pos] == '\n') ++pos;
  }
  return result;
}

bool IsInLineListForm(std::string_view text) {
  const std::size_t size = text.size();
  if (size == 0) return true;
  if (size < 2 || text[size - 2] != '\r' || text[size - 1] != '\n') return false;
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  unsigned after_cr = 0;  // 1 when the byte before the current one is a CR
  std::size_t pos = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: the LF positions must be the CR positions moved
  // on by one, and no byte may be NUL.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  for (; pos + 16 <= size; pos += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
    const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, nul)) != 0) return false;
    if ((((crs << 1) | after_cr) & 0xFFFF) != lfs) return false;
    after_cr = crs >> 15;
  }
#endif
  for (; pos < size; ++pos) {
    const unsigned char byte = data[pos];
    if (byte == '\0' || (byte == '\n') != (after_cr == 1)) return false;
    after_cr = byte == '\r';
  }
  return after_cr == 0;
}

}  // namespace bgconv
