#include "codec/converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "support/literal_converter.h"

namespace bgconv {
namespace {

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string text;
  for (unsigned value : values) text += static_cast<char>(value);
  return text;
}

TEST(Converter, KnownCharactersConvert) {
  struct Case {
    const char* what;
    std::string big5, gb;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"ASCII", "unit Main; // x := 'a\\b';\r\n", "unit Main; // x := 'a\\b';\r\n"},
      {"許功 with trail byte 0x5C", Bytes({0xB3, 0x5C, 0xA5, 0x5C}), Bytes({0xD0, 0xED, 0xB9, 0xA6})},
      {"ideographic space", Bytes({0xA1, 0x40}), Bytes({0xA1, 0xA1})},
      {"國們", Bytes({0xB0, 0xEA, 0xAD, 0xCC}), Bytes({0xB9, 0xFA, 0xC3, 0xC7})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Big5ToGb(c.big5), c.gb) << c.what;
    EXPECT_EQ(GbToBig5(c.gb), c.big5) << c.what;
  }
}

TEST(Converter, OneDirectionOnlyCases) {
  EXPECT_EQ(Big5ToGb(Bytes({0xB5, 0x6F})), Bytes({0xB7, 0xA2})) << "發 -> 发";
  EXPECT_EQ(Big5ToGb(Bytes({0xBE, 0x76})), Bytes({0xB7, 0xA2})) << "髮 -> 发";
  EXPECT_EQ(GbToBig5(Bytes({0xB7, 0xA2})), Bytes({0xB5, 0x6F})) << "发 -> 發";
  EXPECT_EQ(Big5ToGb(Bytes({0xC9, 0x40})), "  ") << "乂 has no counterpart";
}

// A lead byte takes the next byte only when that is a trail byte of the
// source set; otherwise it becomes one blank and the next byte is read on its
// own.  The text always keeps its length.
TEST(Converter, ALeadByteWithoutTrailByteBecomesOneBlank) {
  struct Case {
    const char* what;
    Direction direction;
    std::string in, out;
  };
  const Case cases[] = {
      // 'o' is a Big5 trail byte (\xE7o is a Big5 character), not a GB2312 one.
      {"Latin-1 letter", Direction::kGbToBig, "{ Fran\xE7ois }", "{ Fran ois }"},
      {"Latin-1 before a quote", Direction::kBigToGb, "'caf\xE9';", "'caf ';"},
      {"Latin-1 before a quote", Direction::kGbToBig, "'caf\xE9';", "'caf ';"},
      {"lead byte before CR LF", Direction::kBigToGb, Bytes({0xA4, 0x0D, 0x0A}), " \r\n"},
      {"lead byte before CR LF", Direction::kGbToBig, Bytes({0xB0, 0x0D, 0x0A}), " \r\n"},
      {"lead byte at the end", Direction::kBigToGb, "ab" + Bytes({0xA4}), "ab "},
      {"lead byte at the end", Direction::kGbToBig, "ab" + Bytes({0xB0}), "ab "},
      {"0x40 is no GB2312 trail byte", Direction::kGbToBig, Bytes({0xB0, 0x40}), " @"},
      {"0xFF is no trail byte", Direction::kBigToGb, Bytes({0xA4, 0xFF, 0x0A}), "  \n"},
      {"below a Big5 trail byte", Direction::kBigToGb, Bytes({0xA1, 0x3F, 0xA4, 0x7F}), " ? \x7F"},
      // Bytes 0x80-0xA0 are single bytes: a GBK pair 0x81 0xA1 is copied as
      // 0x81 and the scan goes on at 0xA1.
      {"GBK lead byte", Direction::kGbToBig, Bytes({0x81, 0xA1, 0xA1, 0x41}), Bytes({0x81, 0xA1, 0x40, 0x41})},
      // Codes outside a table's range become the filler.
      {"outside the table", Direction::kBigToGb, Bytes({0xFA, 0x40, 0xFE, 0xFE}), "    "},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertText(c.in, c.direction), c.out) << c.what;
  // UTF-8 text inside Big5: a three-byte character leaves a lead byte before
  // the closing quote, which stays.
  EXPECT_EQ(Big5ToGb("x = '\xE4\xB8\xAD';\r\n"), "x = '" + Big5ToGb("\xE4\xB8") + " ';\r\n");
}

TEST(Converter, ConvertTextPicksTheDirection) {
  const std::string big5 = Bytes({0xB0, 0xEA});
  const std::string gb = Bytes({0xB9, 0xFA});
  EXPECT_EQ(ConvertText(big5, Direction::kBigToGb), gb);
  EXPECT_EQ(ConvertText(gb, Direction::kGbToBig), big5);
}

TEST(Converter, ATableWithAShortEntryIsRefused) {
  std::vector<DataItem> items(EmbeddedDataItems().begin(), EmbeddedDataItems().end());
  for (auto& item : items) {
    if (item.name != "BIG2GB") continue;
    static std::string damaged;
    damaged.assign(reinterpret_cast<const char*>(item.bytes.data()), item.bytes.size());
    damaged[2] = '\0';
    item.bytes = std::span<const unsigned char>(reinterpret_cast<const unsigned char*>(damaged.data()), damaged.size());
  }
  try {
    TBIG2GB converter(items);
    FAIL() << "a table entry of one byte would shorten the text";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Resource BIG2GB holds an entry shorter than two bytes");
  }
}

TEST(Converter, MissingItemEndsTheConstructionWithItsName) {
  const auto all = EmbeddedDataItems();
  std::vector<DataItem> without_dupdata;
  for (const auto& item : all)
    if (item.name != "DUPDATA") without_dupdata.push_back(item);
  try {
    TGB2BIG converter(without_dupdata);
    FAIL() << "built a converter without DUPDATA";
  } catch (const EResNotFound& error) {
    EXPECT_STREQ(error.what(), "Resource DUPDATA not found");
  }
  EXPECT_THROW(TBIG2GB(std::span<const DataItem>{}), EResNotFound);
}

// Bytes of every kind the scan tells apart: single bytes (line breaks,
// quote), bytes at the edges of the trail byte ranges, lead bytes at the
// edges of the tables.
const unsigned kByteKinds[] = {0x00, 0x0A, 0x0D, 0x27, 0x3F, 0x40, 0x5C, 0x7E, 0x7F,
                               0x80, 0xA0, 0xA1, 0xB0, 0xF9, 0xFA, 0xFE, 0xFF};

// Every kernel built into the program, each in both directions.
void ExpectBothLikeThePlainScan(const std::string& text) {
  static const TBIG2GB big5_to_gb;
  static const TGB2BIG gb_to_big5;
  const std::string expected_gb = LiteralBig5ToGb(text);
  const std::string expected_big5 = LiteralGbToBig5(text);
  ASSERT_EQ(expected_gb.size(), text.size());
  ASSERT_EQ(expected_big5.size(), text.size());
  for (const PairKernel kernel : BuiltKernels()) {
    SCOPED_TRACE(kernel == PairKernel::kSse2 ? "SSE2 kernel" : "portable kernel");
    ASSERT_EQ(big5_to_gb.ConvertWith(kernel, text), expected_gb);
    ASSERT_EQ(gb_to_big5.ConvertWith(kernel, text), expected_big5);
  }
}

// The fast scan must behave exactly like the plain one on any input: every
// byte value, every length, runs of single bytes of every length.
TEST(Converter, FastScanMatchesThePlainScan) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> length(0, 200);
  std::uniform_int_distribution<int> any_byte(0, 255);
  std::uniform_int_distribution<int> mode(0, 5);
  for (int round = 0; round < 4000; ++round) {
    std::string text(static_cast<std::size_t>(length(random)), '\0');
    const int kind = mode(random);
    for (auto& byte : text) {
      int value = any_byte(random);
      if (kind == 1 && value < 0xA1) value = value % 0x80;               // ASCII or lead bytes
      if (kind == 2 && value % 7 != 0) value = 'a' + value % 26;         // long single-byte runs
      if (kind == 3 && value % 5 == 0) value = value % 2 ? '\r' : '\n';  // line breaks among pairs
      if (kind == 4 && value < 0xA1 && value % 16 != 0) value |= 0xA1;   // long runs of pairs
      if (kind == 5) value = value % 8 ? 0xB0 + value % 8 : static_cast<int>(kByteKinds[value % 17]);
      byte = static_cast<char>(value);
    }
    SCOPED_TRACE(round);
    ExpectBothLikeThePlainScan(text);
  }
}

TEST(Converter, EveryPairMatchesThePlainScan) {
  std::string pairs;
  std::string separated;  // each pair on a line of its own
  for (unsigned lead = 0xA1; lead <= 0xFF; ++lead)
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      pairs += Bytes({lead, trail});
      separated += Bytes({lead, trail, '\n'});
    }
  ExpectBothLikeThePlainScan(pairs);
  ExpectBothLikeThePlainScan(separated);
}

// Every text of up to four bytes of the kinds above, each also among runs of
// pairs, where the block paths take it: at the start of a block of eight
// pairs, in the middle of one, and at the end of the four pairs that follow
// a block.
TEST(Converter, EveryShortTextMatchesThePlainScan) {
  std::vector<std::string> texts{""};
  for (std::size_t begin = 0, length = 0; length < 4; ++length) {
    const std::size_t end = texts.size();
    for (std::size_t i = begin; i < end; ++i)
      for (unsigned byte : kByteKinds) texts.push_back(texts[i] + Bytes({byte}));
    begin = end;
  }
  const std::string run =
      Bytes({0xB0, 0xEA, 0xAD, 0xCC, 0xC4, 0xE3, 0xBA, 0xC3, 0xA1, 0xA1, 0xB3, 0x5C, 0xA4, 0x40, 0xB5, 0x6F});
  for (const auto& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    ExpectBothLikeThePlainScan(text);
    ExpectBothLikeThePlainScan("ab" + text + run + run);
    ExpectBothLikeThePlainScan(run.substr(0, 7) + text + run + "abcdefgh");
    ExpectBothLikeThePlainScan(run + run.substr(0, 6) + text + "\r\n");
  }
}

}  // namespace
}  // namespace bgconv
