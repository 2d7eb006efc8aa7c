#include "codec/text_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/charset_names.h"
#include "codec/converter.h"

namespace bgconv {
namespace {

std::string Whole(const TextConversion& conversion, std::string_view text) {
  std::string result = ConvertText(text, conversion.direction);
  if (conversion.fix_charset)
    result = FixCharsetNames(result, TargetSet(conversion.direction), conversion.direction, conversion.change_default);
  return result;
}

// `read_size` limits every read, as a pipe does.
std::string Streamed(const TextConversion& conversion, std::string_view text, std::size_t block_size,
                     std::size_t read_size) {
  std::size_t offset = 0;
  std::string result;
  ConvertStream(
      conversion,
      [&](char* buffer, std::size_t size) {
        const std::size_t count = std::min({size, read_size, text.size() - offset});
        text.copy(buffer, count, offset);
        offset += count;
        return count;
      },
      [&](std::string_view bytes) { result += bytes; }, block_size);
  return result;
}

// Every block size puts a block boundary at every place of each text, also
// inside a pair, between CR and LF and inside an identifier.
TEST(ConvertStream, EveryBlockBoundaryGivesTheWholeConversion) {
  constexpr auto kBig = Direction::kBigToGb;
  constexpr auto kGb = Direction::kGbToBig;
  const struct {
    TextConversion conversion;
    std::string text;
  } cases[] = {
      {{kBig}, "a = '\xB0\xEA\xA4\x40\xAD\xCC';\r\nb\r\n"},      // pairs, one with an ASCII trail byte
      {{kBig}, "\xB0\xEA\xAD\xCC\xA4\x40\xA4\x43\xB0\xEA\xB0"},  // no byte between pairs; a lead byte ends it
      {{kBig}, "x\xB0 y\xB0\r\n\xB0"},                           // lead bytes without a trail byte
      {{kGb}, "'\xB9\xFA\xC3\xC7\xB9'\r\n\xB9\xFA\xC3"},
      {{kBig, true, true}, "F = CHINESEBIG5_CHARSET;\r\nG = default_charset\xA4\x43HINESEBIG5_CHARSET"},
      {{kBig, true},
       "\xB0\xEA"
       "ChineseBig5_Charset\xB0\xEA"
       "CHINESEBIG5_CHARSET\xAD"},
      {{kGb, true, true},
       "\xB9\xFA"
       "GB2312_CHARSET\xB9\xFA\r\nDEFAULT_CHARSET GB2312_CHARSE"},
  };
  for (const auto& [conversion, text] : cases) {
    const std::string expected = Whole(conversion, text);
    for (std::size_t block = 1; block <= text.size() + 1; ++block) {
      EXPECT_EQ(Streamed(conversion, text, block, block), expected) << text << " in blocks of " << block;
      EXPECT_EQ(Streamed(conversion, text, block, 1), expected) << text << " read a byte at a time";
    }
  }
}

TEST(ConvertStream, AnEmptyInputWritesNothing) { EXPECT_EQ(Streamed({Direction::kBigToGb, true}, "", 4, 4), ""); }

}  // namespace
}  // namespace bgconv
