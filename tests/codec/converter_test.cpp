#include "codec/converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace bgconv {
namespace {

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string text;
  for (unsigned value : values) text += static_cast<char>(value);
  return text;
}

// The scan written the plain way: one stream positioning and one two-byte
// read per pair, the entry appended as a zero-terminated string.  A pair
// outside the table's range reads nothing and becomes the filler.
std::string LiteralConvert(std::string_view input, std::string_view item, unsigned first_code) {
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
    const unsigned trail = i + 1 < input.size() ? static_cast<unsigned char>(input[i + 1]) : 0;
    i += 2;
    const auto index = static_cast<std::uint16_t>(lead * 256 + trail - first_code);
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

std::string LiteralBig5ToGb(std::string_view text) { return LiteralConvert(text, "BIG2GB", 0xA140); }
std::string LiteralGbToBig5(std::string_view text) { return LiteralConvert(text, "GB2BIG", 0xA1A1); }

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

TEST(Converter, BrokenPairsKeepTheLengthExceptAtTheEnd) {
  // A lead byte at the end is looked up with a trail byte 0x00: the filler,
  // one byte longer than the input.
  EXPECT_EQ(Big5ToGb("ab" + Bytes({0xA4})), "ab  ");
  EXPECT_EQ(GbToBig5("ab" + Bytes({0xB0})), "ab  ");
  // A lead byte before CR LF takes the CR: the pair becomes the filler and
  // the LF is copied.
  EXPECT_EQ(Big5ToGb(Bytes({0xA4, 0x0D, 0x0A})), "  \n");
  // Bytes 0x80-0xA0 are single bytes: a GBK pair 0x81 0xA1 is copied as 0x81
  // and the scan goes on at 0xA1.
  EXPECT_EQ(GbToBig5(Bytes({0x81, 0xA1, 0xA1, 0x41})), Bytes({0x81, 0xA1, 0x40, 0x41}));
  // Codes outside a table's range become the filler.
  EXPECT_EQ(Big5ToGb(Bytes({0xA1, 0x30, 0xF9, 0xFF, 0xFE, 0xFE})), "      ");
  EXPECT_EQ(GbToBig5(Bytes({0xA1, 0xA0, 0xFF, 0xFF})), "    ");
}

TEST(Converter, ConvertTextPicksTheDirection) {
  const std::string big5 = Bytes({0xB0, 0xEA});
  const std::string gb = Bytes({0xB9, 0xFA});
  EXPECT_EQ(ConvertText(big5, kBigToGb), gb);
  EXPECT_EQ(ConvertText(gb, kGbToBig), big5);
  EXPECT_EQ(ConvertText(big5, -1), big5) << "no direction chosen: unchanged";
  EXPECT_EQ(ConvertText(big5, 2), big5);
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

// The fast scan must behave exactly like the plain one on any input: every
// byte value, every length, runs of single bytes of every length.
TEST(Converter, FastScanMatchesThePlainScan) {
  std::mt19937 random(20261208);
  const TBIG2GB big5_to_gb;
  const TGB2BIG gb_to_big5;
  std::uniform_int_distribution<int> length(0, 200);
  std::uniform_int_distribution<int> any_byte(0, 255);
  std::uniform_int_distribution<int> mode(0, 4);
  for (int round = 0; round < 4000; ++round) {
    std::string text(static_cast<std::size_t>(length(random)), '\0');
    const int kind = mode(random);
    for (auto& byte : text) {
      int value = any_byte(random);
      if (kind == 1 && value < 0xA1) value = value % 0x80;                  // ASCII or lead bytes
      if (kind == 2 && value % 7 != 0) value = 'a' + value % 26;            // long single-byte runs
      if (kind == 3 && value % 5 == 0) value = value % 2 ? '\r' : '\n';     // line breaks among pairs
      if (kind == 4 && value < 0xA1 && value % 16 != 0) value |= 0xA1;     // long runs of pairs
      byte = static_cast<char>(value);
    }
    ASSERT_EQ(big5_to_gb.Convert(text), LiteralBig5ToGb(text)) << "round " << round;
    ASSERT_EQ(gb_to_big5.Convert(text), LiteralGbToBig5(text)) << "round " << round;
  }
}

TEST(Converter, EveryPairMatchesThePlainScan) {
  const TBIG2GB big5_to_gb;
  const TGB2BIG gb_to_big5;
  std::string all;
  for (unsigned lead = 0xA1; lead <= 0xFF; ++lead)
    for (unsigned trail = 0; trail <= 0xFF; ++trail) all += Bytes({lead, trail});
  EXPECT_EQ(big5_to_gb.Convert(all), LiteralBig5ToGb(all));
  EXPECT_EQ(gb_to_big5.Convert(all), LiteralGbToBig5(all));
  EXPECT_EQ(big5_to_gb.Convert(all).size(), all.size());
}

}  // namespace
}  // namespace bgconv
