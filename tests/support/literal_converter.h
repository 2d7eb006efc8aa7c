#pragma once
// The converter's scan written the plain way, as the oracle for the fast one
// in the tests and the fuzz targets: one stream positioning and one
// two-byte read per pair, the entry appended as a zero-terminated string.
// A pair outside the table's range reads nothing and becomes the filler; a
// lead byte not followed by a trail byte of the source set becomes one blank.
// The trail byte ranges are spelled out here on purpose, apart from the
// converter's own.

#include <cstdint>
#include <string>
#include <string_view>

#include "codec/code_tables.h"

namespace bgconv {

inline std::string LiteralConvert(std::string_view input, std::string_view item, unsigned first_code,
                                  bool big5_source) {
  auto table = ResourceStream::Open(item);
  std::string result;
  std::size_t i = 0;
  while (i < input.size()) {
    const auto lead = static_cast<unsigned char>(input[i]);
    if (lead <= 0xA0) {
      result += static_cast<char>(lead);
      ++i;
      continue;
    }
    const int trail = i + 1 < input.size() ? static_cast<unsigned char>(input[i + 1]) : -1;
    const bool is_trail = (trail >= 0xA1 && trail <= 0xFE) || (big5_source && trail >= 0x40 && trail <= 0x7E);
    if (!is_trail) {
      result += ' ';
      ++i;
      continue;
    }
    i += 2;
    const auto index = static_cast<std::uint16_t>(lead * 256 + static_cast<unsigned>(trail) - first_code);
    table.Seek(std::size_t{index} * 2);
    char entry[3] = {0, 0, 0};
    if (table.Read(entry, 2) < 2) {
      result += "  ";
      continue;
    }
    result += entry;
  }
  return result;
}

inline std::string LiteralBig5ToGb(std::string_view text) { return LiteralConvert(text, "BIG2GB", 0xA140, true); }
inline std::string LiteralGbToBig5(std::string_view text) { return LiteralConvert(text, "GB2BIG", 0xA1A1, false); }

}  // namespace bgconv
