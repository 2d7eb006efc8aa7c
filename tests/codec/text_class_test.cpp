#include "codec/text_class.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/converter.h"

namespace bgconv {
namespace {

// Short texts, as a unit's comment or caption holds them.
const std::string kBig5OneHanzi = "\xBD\xD0";                         // 請
const std::string kBig5TwoHanzi = "\xBF\xF9\xBB~";                    // 錯誤 (trail byte '~')
const std::string kBig5FourHanzi = "\xB6}\xB1\xD2\xC0\xC9\xAE\xD7";   // 開啟檔案
const std::string kGbOneHanzi = "\xC7\xEB";                           // 请
const std::string kGbTwoHanzi = "\xB4\xED\xCE\xF3";                   // 错误
const std::string kGbFourHanzi = "\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE";  // 打开文件
const std::string kGbk =
    "\xD6\xEC\xE9"
    "F\xBB\xF9";  // 朱镕基: 镕 lies outside GB2312
// 備註：中文說明
const std::string kUtf8 = "\xE5\x82\x99\xE8\xA8\xBB\xEF\xBC\x9A\xE4\xB8\xAD\xE6\x96\x87\xE8\xAA\xAA\xE6\x98\x8E";

std::string Quoted(const std::string& text) { return "  Caption = '" + text + "'\r\n"; }

TEST(ClassifyText, NamesEachClass) {
  const std::string big5_form = Quoted(kBig5FourHanzi) + Quoted(kBig5TwoHanzi);
  const struct {
    std::string text;
    std::string_view expected;  // as the run and bgconv detect name it
    std::size_t hanzi;
  } cases[] = {
      {"", "ASCII", 0},
      {"unit Unit1;\r\n{ Tab\tand form feed\f }\r\nend.\x1A", "ASCII", 0},
      {Quoted(kUtf8), "UTF-8", 6},
      {"\xEF\xBB\xBFunit Unit1;", "UTF-8", 0},
      {Quoted(kBig5OneHanzi), "Big5", 1},
      {Quoted(kBig5TwoHanzi), "Big5", 2},
      {Quoted(kBig5FourHanzi), "Big5", 4},
      {Quoted(kGbOneHanzi), "GB2312", 1},
      {Quoted(kGbTwoHanzi), "GB2312", 2},
      {Quoted(kGbFourHanzi), "GB2312", 4},
      {Quoted(kGbk), "GBK", 3},
      // What the built-in engine made of the other code page's text.
      {Big5ToGb(big5_form), "GB2312", 6},
      {GbToBig5(Quoted(kGbFourHanzi)), "Big5", 4},
      // UTF-8 memo text inside a Big5 form leaves it a Big5 form.
      {big5_form + Quoted(kUtf8) + Quoted(kUtf8), "Big5", 6},
      {Quoted(kGbFourHanzi) + Quoted(kUtf8), "GB2312", 4},
      // 葛摩 reads a little better as GBK, but UTF-8 lines between Big5 lines
      // are no way out of Big5.
      {big5_form + Quoted(kUtf8) + Quoted("\xB8\xAF\xBC\xAF") + Quoted(kUtf8) + big5_form, "Big5", 14},
      {big5_form + big5_form + Quoted(kGbFourHanzi + kGbFourHanzi) + Quoted(kGbFourHanzi + kGbTwoHanzi), "mixed", 26},
      {std::string("\xFF\xFEu\0n\0\x2D\x4E", 8), "UTF-16", 1},  // BOM, "un中"
      {std::string("u\0n\0i\0t\0 \0A\0;\0", 14), "UTF-16", 0},
      {std::string("\0u\0n\0i\0t\0 \0A\0;", 14), "UTF-16", 0},
      {std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0", 16), "binary", 0},
      {"\x01\x02\x03\x04\x05\x06\x07\x08 text", "binary", 0},
  };
  for (const auto& c : cases) {
    const Classification result = ClassifyText(c.text);
    EXPECT_EQ(TextClassName(result.text_class), c.expected) << c.text;
    EXPECT_EQ(result.hanzi, c.hanzi) << c.text;
    EXPECT_GT(result.confidence, 0.5) << c.text;
    EXPECT_LE(result.confidence, 1.0) << c.text;
  }
}

TEST(ClassifyText, ConfidenceGrowsWithTheHanziItRestsOn) {
  const double one = ClassifyText(kGbOneHanzi).confidence;
  const double four = ClassifyText(kGbFourHanzi).confidence;
  std::string unit;
  for (int i = 0; i < 8; ++i) unit += Quoted(kGbFourHanzi);
  EXPECT_LT(one, four);
  EXPECT_GT(four, 0.99);
  EXPECT_GT(ClassifyText(unit).confidence, 0.999999);
}

TEST(IsForeignUtf8Line, KeepsOnlyUtf8ThatTheCodePageCannotExplain) {
  const struct {
    std::string line;
    TextClass code_page;
    bool expected;
  } cases[] = {
      {Quoted(kUtf8), TextClass::kBig5, true},
      {Quoted(kUtf8), TextClass::kGb2312, true},
      {"\xE4\xB8\xAD", TextClass::kGbk, true},  // 中 alone
      {Quoted(kBig5FourHanzi), TextClass::kBig5, false},
      {Quoted(kGbFourHanzi), TextClass::kGb2312, false},
      {"  Caption = 'OK'", TextClass::kBig5, false},
      // 应 in GB2312 is also well-formed UTF-8 (U+04E6), but ordinary GB2312.
      {"\xD3\xA6", TextClass::kGb2312, false},
      {Quoted(kUtf8), TextClass::kUtf8, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsForeignUtf8Line(c.line, c.code_page), c.expected) << c.line << " in " << TextClassName(c.code_page);
}

}  // namespace
}  // namespace bgconv
