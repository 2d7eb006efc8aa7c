#include "codec/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ansi_codepage.h"

namespace bgconv {
namespace {

const ScriptConverter& Keep() {
  static const ScriptConverter keep(Script::kKeep);
  return keep;
}

Utf8Text Plain(std::string_view bytes, int code_page, bool keep_utf8_lines = false) {
  return TextToUtf8(bytes, code_page, Keep(), false, keep_utf8_lines);
}

TEST(TextToUtf8, DecodesEachCodePageAndCountsWhatDoesNotDecode) {
  struct Case {
    std::string bytes;
    int code_page;
    std::string utf8;
    std::size_t undecodable;
  };
  const Case cases[] = {
      {"a\xA4\xA4\xA4\xE5\r\n", kCodePageBig5, "a中文\r\n", 0},
      {"a\xD6\xD0\xCE\xC4\r\n", kCodePageGb2312, "a中文\r\n", 0},
      {"\xEE\x5E\xF3\x8C", kCodePageGb2312, "頭髮", 0},        // GBK beyond GB2312
      {"\xC0\x59\xBE\x76", kCodePageBig5, "頭髮", 0},          // a trail byte below 0x80
      {"x\xA4", kCodePageBig5, "x\uFFFD", 1},                  // a lead byte cut off at the end
      {"\xA4\r\n\xA4\xA4", kCodePageBig5, "\uFFFD\r\n中", 1},  // ... before a line end, which stays
      {"\xD6 \xD6\xD0", kCodePageGb2312, "\uFFFD 中", 1},      // a lead byte without a trail byte
  };
  for (const auto& c : cases) {
    const Utf8Text result = Plain(c.bytes, c.code_page);
    EXPECT_EQ(result.text, c.utf8) << c.bytes;
    EXPECT_EQ(result.undecodable, c.undecodable) << c.bytes;
  }
}

TEST(TextToUtf8, WritesAByteOrderMarkOnRequest) {
  EXPECT_EQ(TextToUtf8("\xA4\xA4", kCodePageBig5, Keep(), true, false).text, "\xEF\xBB\xBF中");
  EXPECT_EQ(TextToUtf8("", kCodePageBig5, Keep(), true, false).text, "\xEF\xBB\xBF");
}

TEST(TextToUtf8, ConvertsTheScriptByWords) {
  const ScriptConverter simplified(Script::kSimplified);
  const ScriptConverter traditional(Script::kTraditional);
  // 頭髮 and 發現: one character 发 in simplified, two in traditional.
  EXPECT_EQ(TextToUtf8("\xC0\x59\xBE\x76 \xB5\x6F\xB2\x7B", kCodePageBig5, simplified, false, false).text, "头发 发现");
  EXPECT_EQ(TextToUtf8("\xCD\xB7\xB7\xA2 \xB7\xA2\xCF\xD6", kCodePageGb2312, traditional, false, false).text,
            "頭髮 發現");
  EXPECT_EQ(TextToUtf8("\xCD\xB7\xB7\xA2", kCodePageGb2312, Keep(), false, false).text, "头发");
}

TEST(TextToUtf8, TakesUtf8LinesAsTheyAreOnRequest) {
  const std::string utf8_line = "// 備註：中文說明";
  const std::string text = "'\xA4\xA4\xA4\xE5'\r\n" + utf8_line + "\r\n'\xA4\xA4'";
  const Utf8Text kept = Plain(text, kCodePageBig5, true);
  EXPECT_EQ(kept.text, "'中文'\r\n" + utf8_line + "\r\n'中'");
  EXPECT_EQ(kept.kept_lines, 1u);
  EXPECT_NE(Plain(text, kCodePageBig5, false).text, kept.text);
}

}  // namespace
}  // namespace bgconv
