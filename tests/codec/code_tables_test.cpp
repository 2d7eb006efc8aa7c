#include "codec/code_tables.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace bgconv {
namespace {

std::span<const unsigned char> Item(std::string_view name) { return ResourceStream::Open(name).Bytes(); }

unsigned Entry(std::span<const unsigned char> table, unsigned first, unsigned code) {
  const std::size_t offset = 2 * std::size_t(code - first);
  return table[offset] * 256u + table[offset + 1];
}

std::vector<std::pair<unsigned, unsigned>> Alternatives() {
  const auto codes = Item("DUPCODE");
  const auto data = Item("DUPDATA");
  std::vector<std::pair<unsigned, unsigned>> rows;
  for (std::size_t i = 0; i + 1 < codes.size(); i += 2)
    rows.emplace_back(codes[i] * 256u + codes[i + 1], data[i] * 256u + data[i + 1]);
  return rows;
}

// Decodes one double-byte code with Windows' own tables, as a program on
// Windows reading the converted file would.
class WindowsCodePage {
 public:
  explicit WindowsCodePage(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    converter_.reset(ucnv_open(name, &status));
    EXPECT_TRUE(U_SUCCESS(status)) << name;
    ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  }
  // The decoded text, or empty when Windows cannot decode the code.
  std::u16string Decode(unsigned code) const {
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    char16_t out[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(converter_.get());
    const int length = ucnv_toUChars(converter_.get(), out, 4, bytes, 2, &status);
    if (U_FAILURE(status) || length != 1 || out[0] == 0xFFFD || (out[0] >= 0xE000 && out[0] <= 0xF8FF)) return {};
    return std::u16string(out, static_cast<std::size_t>(length));
  }

 private:
  struct Closer {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
  };
  std::unique_ptr<UConverter, Closer> converter_;
};

const WindowsCodePage& Cp950() {
  static const WindowsCodePage page("windows-950-2000");
  return page;
}
const WindowsCodePage& Cp936() {
  static const WindowsCodePage page("windows-936-2000");
  return page;
}

TEST(CodeTables, ItemsHaveTheirFixedSizes) {
  EXPECT_EQ(Item("BIG2GB").size(), 45438u);
  EXPECT_EQ(Item("GB2BIG").size(), 48316u);
  EXPECT_EQ(Item("DUPCODE").size(), 496u);
  EXPECT_EQ(Item("DUPDATA").size(), 496u);
  EXPECT_EQ(Item("BIG2GB").size(), 2u * (kBig5LastCode - kBig5FirstCode + 1));
  EXPECT_EQ(Item("GB2BIG").size(), 2u * (kGbLastCode - kGbFirstCode + 1));
}

TEST(CodeTables, MissingItemNamesItself) {
  try {
    ResourceStream::Open("BIG2GBX");
    FAIL() << "opened a missing item";
  } catch (const EResNotFound& error) {
    EXPECT_STREQ(error.what(), "Resource BIG2GBX not found");
  }
}

TEST(CodeTables, StreamReadsInPlaceAndStopsAtTheEnd) {
  auto stream = ResourceStream::Open("DUPCODE");
  EXPECT_EQ(stream.Bytes().data(), Item("DUPCODE").data()) << "opening must not copy";
  unsigned char buffer[4] = {};
  stream.Seek(494);
  EXPECT_EQ(stream.Read(buffer, 4), 2u);
  EXPECT_EQ(stream.Read(buffer, 4), 0u);
  stream.Seek(131070);
  EXPECT_EQ(stream.Read(buffer, 2), 0u);
}

TEST(CodeTables, CodeTablesHoldNoZeroByte) {
  for (const auto* name : {"BIG2GB", "GB2BIG"}) {
    const auto table = Item(name);
    EXPECT_EQ(std::count(table.begin(), table.end(), 0), 0) << name;
  }
}

TEST(CodeTables, TellingRowsOfBig2Gb) {
  const std::map<unsigned, unsigned> rows = {
      {0xA140, 0xA1A1}, {0xA141, 0xA3AC}, {0xA142, 0xA1A2}, {0xA143, 0xA1A3}, {0xA144, 0xA3AE}, {0xA145, 0xA3AE},
      {0xA156, 0x2020}, {0xA15D, 0xA3A8}, {0xA15F, 0xA3A8}, {0xA17D, 0xA3A8}, {0xA200, 0x2020}, {0xA440, 0xD2BB},
      {0xA55C, 0xB9A6}, {0xABE1, 0xE1E1}, {0xADCC, 0xC3C7}, {0xB0EA, 0xB9FA}, {0xB35C, 0xD0ED}, {0xB56F, 0xB7A2},
      {0xBE76, 0xB7A2}, {0xB8CC, 0xC0EF}, {0xC940, 0x2020}, {0xF9D5, 0x2020}, {0xF9FE, 0x2020}, {0xC3A0, 0x2020},
  };
  const auto table = Item("BIG2GB");
  for (const auto& [big5, gb] : rows)
    EXPECT_EQ(Entry(table, kBig5FirstCode, big5), gb) << std::hex << "Big5 0x" << big5;
}

TEST(CodeTables, TellingRowsOfGb2Big) {
  const std::map<unsigned, unsigned> rows = {
      {0xA1A1, 0xA140}, {0xA1A2, 0xA142}, {0xA1A3, 0xA143}, {0xA1A4, 0xA14F}, {0xA1A6, 0x2020},
      {0xA2A1, 0x2020}, {0xA3A8, 0xA15D}, {0xA3C1, 0xA2CF}, {0xB0A1, 0xB0DA}, {0xB7A2, 0xB56F},
      {0xB9FA, 0xB0EA}, {0xBAF3, 0xA65A}, {0xC0EF, 0xA8BD}, {0xC3C7, 0xADCC}, {0xCCA8, 0xA578},
      {0xD7F9, 0xAE79}, {0xD8A1, 0xC948}, {0xF7FE, 0x2020}, {0xF8A1, 0x2020}, {0xFFFE, 0x2020},
  };
  const auto table = Item("GB2BIG");
  for (const auto& [gb, big5] : rows) EXPECT_EQ(Entry(table, kGbFirstCode, gb), big5) << std::hex << "GB 0x" << gb;
}

// Every entry is the filler or a well-formed code of the target set that
// Windows decodes; positions that are no code of the source set hold the filler.
TEST(CodeTables, EntriesAreFillerOrDecodableTargetCodes) {
  const auto big2gb = Item("BIG2GB");
  for (unsigned code = kBig5FirstCode; code <= kBig5LastCode; ++code) {
    const unsigned entry = Entry(big2gb, kBig5FirstCode, code);
    if (entry == 0x2020) continue;
    const unsigned trail = code & 0xFF;
    EXPECT_TRUE((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)) << std::hex << code;
    EXPECT_FALSE(Cp936().Decode(entry).empty()) << std::hex << code << " -> " << entry;
    EXPECT_TRUE((entry >> 8) >= 0xA1 && (entry >> 8) <= 0xF7 && (entry & 0xFF) >= 0xA1) << std::hex << entry;
  }
  const auto gb2big = Item("GB2BIG");
  for (unsigned code = kGbFirstCode; code <= kGbLastCode; ++code) {
    const unsigned entry = Entry(gb2big, kGbFirstCode, code);
    if (entry == 0x2020) continue;
    EXPECT_TRUE((code >> 8) <= 0xF7 && (code & 0xFF) >= 0xA1 && (code & 0xFF) <= 0xFE) << std::hex << code;
    EXPECT_FALSE(Cp950().Decode(entry).empty()) << std::hex << code << " -> " << entry;
  }
}

TEST(CodeTables, AlternativesAreSortedAndKnownRowsStand) {
  const auto rows = Alternatives();
  ASSERT_EQ(rows.size(), 248u);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end()) << "a row stands twice";
  EXPECT_EQ(rows[0], std::make_pair(0xA1A2u, 0xA14Eu));
  EXPECT_EQ(rows[1], std::make_pair(0xA1A4u, 0xA150u));
  EXPECT_EQ(rows[2], std::make_pair(0xA1B2u, 0xA167u));
  EXPECT_EQ(rows.back(), std::make_pair(0xEFB1u, 0xCDF1u));  // 锉 剉

  const std::set<std::pair<unsigned, unsigned>> present(rows.begin(), rows.end());
  const std::pair<unsigned, unsigned> examples[] = {
      {0xB7A2, 0xBE76},                                      // 发 髮
      {0xCCA8, 0xBB4F}, {0xCCA8, 0xBBE4}, {0xCCA8, 0xC269},  // 台 臺 颱 檯
      {0xCFB5, 0xAB59}, {0xCFB5, 0xC3B4},                    // 系 係 繫
      {0xBBE3, 0xB74A}, {0xB7F0, 0xA9BB},                    // 汇 彙, 佛 彿
      {0xA3A8, 0xA15F}, {0xA3A8, 0xA17D},                    // （ ︵ ﹙
  };
  for (const auto& row : examples) EXPECT_TRUE(present.count(row)) << std::hex << row.first << " " << row.second;
}

// Each alternative differs from what GB2BIG gives for its code, and GB2BIG
// gives it for no code at all.
TEST(CodeTables, AlternativesAreFormsGb2BigNeverGives) {
  const auto gb2big = Item("GB2BIG");
  std::set<unsigned> given;
  for (unsigned code = kGbFirstCode; code <= kGbLastCode; ++code) given.insert(Entry(gb2big, kGbFirstCode, code));
  for (const auto& [gb, big5] : Alternatives()) {
    EXPECT_NE(Entry(gb2big, kGbFirstCode, gb), 0x2020u) << std::hex << gb;
    EXPECT_FALSE(given.count(big5)) << std::hex << gb << " " << big5;
    EXPECT_FALSE(Cp950().Decode(big5).empty()) << std::hex << big5;
  }
}

// BIG2GB follows from the other three items: the inverse of GB2BIG (among
// several codes a symbol takes the same character, a hanzi the lowest code),
// then the alternatives list, then the filler.
TEST(CodeTables, Big2GbIsDerivedFromTheOtherItems) {
  const auto gb2big = Item("GB2BIG");
  std::map<unsigned, unsigned> inverse;
  for (unsigned gb = kGbFirstCode; gb <= kGbLastCode; ++gb) {
    const unsigned big5 = Entry(gb2big, kGbFirstCode, gb);
    if (big5 == 0x2020) continue;
    const auto [it, fresh] = inverse.emplace(big5, gb);
    const auto same = [&](unsigned code) { return Cp936().Decode(code) == Cp950().Decode(big5); };
    if (!fresh && big5 < 0xA440 && same(gb) && !same(it->second)) it->second = gb;
  }
  for (const auto& [gb, big5] : Alternatives()) inverse.emplace(big5, gb);

  std::vector<unsigned char> derived;
  for (unsigned big5 = kBig5FirstCode; big5 <= kBig5LastCode; ++big5) {
    const auto found = inverse.find(big5);
    const unsigned entry = found == inverse.end() ? 0x2020 : found->second;
    derived.push_back(static_cast<unsigned char>(entry >> 8));
    derived.push_back(static_cast<unsigned char>(entry & 0xFF));
  }
  const auto big2gb = Item("BIG2GB");
  EXPECT_TRUE(std::equal(derived.begin(), derived.end(), big2gb.begin(), big2gb.end()));
}

}  // namespace
}  // namespace bgconv
