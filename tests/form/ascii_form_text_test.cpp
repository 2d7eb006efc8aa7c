#include "form/ascii_form_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "form/parser.h"
#include "platform/ansi_codepage.h"

namespace bgconv {
namespace {

const ScriptConverter& Keep() {
  static const ScriptConverter keep(Script::kKeep);
  return keep;
}

// The values of the string tokens of `form_text`, byte strings decoded from
// `code_page`, as the loading program sees them.
std::vector<std::u16string> StringValues(std::string_view form_text, int code_page) {
  const AnsiCodePage page(code_page);
  TParser parser(form_text, page);
  std::vector<std::u16string> values;
  std::size_t undecodable = 0;
  while (parser.ScanToken() != kEndOfText) {
    if (parser.Token() == kWideStringToken) values.push_back(parser.TokenWideValue());
    if (parser.Token() == kStringToken) values.push_back(DecodeCodePage(parser.TokenSource(), code_page, undecodable));
  }
  return values;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(AsciiLiteral, QuotesPrintableAsciiAndEscapesTheRest) {
  EXPECT_EQ(AsciiLiteral(u"ab"), "'ab'");
  EXPECT_EQ(AsciiLiteral(u"\u4E2D\u6587"), "#20013#25991");
  EXPECT_EQ(AsciiLiteral(u"a\u4E2Db"), "'a'#20013'b'");
  EXPECT_EQ(AsciiLiteral(u"it's\r\n"), "'it'#39's'#13#10");
  EXPECT_EQ(AsciiLiteral(u""), "''");
}

TEST(FormTextToAscii, WritesEveryStringInAsciiWithTheSameCharacters) {
  const std::string form =
      "object Form1: TForm1\r\n"
      "  Caption = '\xA4\xA4\xA4\xE5 ''ok'''\r\n"  // 中文 'ok'
      "  Hint = 'a'#13#10'b'\r\n"
      "  Font.Charset = CHINESEBIG5_CHARSET\r\n"
      "  Items.Strings = (\r\n"
      "    '\xC0\x59\xBE\x76' +\r\n"  // 頭髮, a trail byte below 0x80
      "    '\xA4\xA4'#13)\r\n"
      "  Text = #20320#22909\r\n"
      "end\r\n";
  for (const int code_page : {kCodePageBig5, kCodePageGb2312}) {
    const AsciiFormText ascii = FormTextToAscii(form, code_page, Keep());
    EXPECT_TRUE(IsAscii(ascii.text)) << ascii.text;
    EXPECT_EQ(StringValues(ascii.text, code_page), StringValues(form, code_page)) << code_page;
  }
  const std::string ascii = FormTextToAscii(form, kCodePageBig5, Keep()).text;
  EXPECT_NE(ascii.find("  Caption = #20013#25991' '#39'ok'#39\r\n"), std::string::npos) << ascii;
  EXPECT_NE(ascii.find("  Hint = 'a'#13#10'b'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n"), std::string::npos);
  EXPECT_NE(ascii.find("  Text = #20320#22909\r\n"), std::string::npos) << "a wide string stays as written";
}

TEST(FormTextToAscii, ConvertsTheScriptOfStringsAndCountsWhatDoesNotDecode) {
  // A quoted byte in a wide string is the unit of its value, as the parser takes it.
  const std::string form = "object Form1: TForm1\n  Caption = '\xCD\xB7\xB7\xA2'\n  Hint = #22836#21457'\xD6'\n";
  const ScriptConverter traditional(Script::kTraditional);
  const AsciiFormText ascii = FormTextToAscii(form, kCodePageGb2312, traditional);
  EXPECT_EQ(ascii.text, "object Form1: TForm1\r\n  Caption = #38957#39662\r\n  Hint = #38957#39662#214\r\n");
  EXPECT_EQ(ascii.undecodable, 0u);
  const AsciiFormText cut = FormTextToAscii("object A: TA\n  Caption = 'x\xA4'\n", kCodePageBig5, Keep());
  EXPECT_EQ(cut.text, "object A: TA\r\n  Caption = 'x'#65533\r\n");
  EXPECT_EQ(cut.undecodable, 1u);
}

}  // namespace
}  // namespace bgconv
