#include "form/parser.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"

namespace bgconv {
namespace {

struct Token {
  int kind;
  std::string source;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) { return out << token.kind << ":" << token.source; }

const AnsiCodePage& Gb2312() {
  static const AnsiCodePage code_page(kCodePageGb2312);
  return code_page;
}

std::vector<Token> Tokens(std::string_view text) {
  TParser parser(text, Gb2312());
  std::vector<Token> tokens;
  for (; parser.Token() != kEndOfText; parser.ScanToken()) tokens.push_back({parser.Token(), parser.TokenSource()});
  return tokens;
}

std::string ParserError(std::string_view text) {
  try {
    Tokens(text);
  } catch (const EParserError& error) {
    return error.what();
  }
  return "no error";
}

TEST(TParser, TokenKinds) {
  struct Case {
    std::string text;
    std::vector<Token> tokens;
  };
  const Case cases[] = {
      {"object Form1: TForm1", {{kSymbol, "object"}, {kSymbol, "Form1"}, {':', ":"}, {kSymbol, "TForm1"}}},
      {"  Font.Name = 'Tahoma'\r\n",
       {{kSymbol, "Font"}, {'.', "."}, {kSymbol, "Name"}, {'=', "="}, {kStringToken, "Tahoma"}}},
      {"Left = -12 Tag = $1aF",
       {{kSymbol, "Left"}, {'=', "="}, {kIntegerToken, "-12"}, {kSymbol, "Tag"}, {'=', "="}, {kIntegerToken, "$1aF"}}},
      {"1.5e-3 15000c 2d 0.5S 7",
       {{kFloatToken, "1.5e-3"},
        {kFloatToken, "15000c"},
        {kFloatToken, "2d"},
        {kFloatToken, "0.5S"},
        {kIntegerToken, "7"}}},
      {"_a1 [x] (<{", {{kSymbol, "_a1"}, {'[', "["}, {kSymbol, "x"}, {']', "]"}, {'(', "("}, {'<', "<"}, {'{', "{"}}},
      {"\xA4\xA4", {{0xA4, "\xA4"}, {0xA4, "\xA4"}}},
      {"a\0b", {{kSymbol, "a"}}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Tokens(c.text), c.tokens) << c.text;
}

TEST(TParser, StringTokensAndTheirValues) {
  struct Case {
    std::string text;
    int kind;
    std::string source;
    std::u16string wide;
  };
  const Case cases[] = {
      {"'a'#13'b'", kStringToken, "a\rb", u"a\rb"},
      {"'it''s'", kStringToken, "it's", u"it's"},
      {"''", kStringToken, "", u""},
      {"#", kStringToken, std::string(1, '\0'), std::u16string(1, u'\0')},
      {"#65'b'", kStringToken, "Ab", u"Ab"},
      {"#127", kStringToken, "\x7F", u"\x7F"},
      {"#321", kWideStringToken, "#321", u"\u0141"},
      {"#20320#22909", kWideStringToken, "#20320#22909", u"\u4F60\u597D"},
      {"'ab'#20320", kWideStringToken, "'ab'#20320", u"ab\u4F60"},
      {"#200", kWideStringToken, "#200", u"\u00C8"},
      // Raw bytes in quotes are units of the same value in a wide token ...
      {"'\xC4\xE3'#200", kWideStringToken, "'\xC4\xE3'#200", u"\u00C4\u00E3\u00C8"},
      // ... and characters of the code page in a plain one.
      {"'\xC4\xE3'", kStringToken, "\xC4\xE3", u"\u4F60"},
      {"#65601", kWideStringToken, "#65601", u"A"},  // lower 16 bits of a number above 127
      {"#0000000000000000065", kStringToken, "A", u"A"},
      {"#99999999999999999999", kWideStringToken, "#99999999999999999999", std::u16string(1, char16_t(0xFFFF))},
  };
  for (const auto& c : cases) {
    TParser parser(c.text, Gb2312());
    EXPECT_EQ(parser.Token(), c.kind) << c.text;
    EXPECT_EQ(parser.TokenSource(), c.source) << c.text;
    EXPECT_EQ(parser.TokenWideValue(), c.wide) << c.text;
    EXPECT_EQ(parser.ScanToken(), kEndOfText) << c.text;
  }
}

TEST(TParser, ABlankEndsAStringToken) {
  EXPECT_EQ(Tokens("'a' #66"), (std::vector<Token>{{kStringToken, "a"}, {kStringToken, "B"}}));
  TParser parser("x = 'ab'#20320 + 'c'", Gb2312());
  while (parser.Token() != kWideStringToken) parser.ScanToken();
  EXPECT_EQ(parser.TokenOffset(), 4u);
  EXPECT_EQ(parser.TokenLength(), 10u);
}

TEST(TParser, ErrorsNameTheLine) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"'abc", "Invalid string constant on line 1"},
      {"a\n\nb\n'abc\r\n'", "Invalid string constant on line 4"},
      {"a = 'x\ny'", "Invalid string constant on line 1"},
      {std::string("'a\0'", 4), "Invalid string constant on line 1"},
      {"a\n" + std::string(5000, 'x') + "\n", "Line too long on line 2"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParserError(c.text), c.message) << c.text.substr(0, 20);
}

// The window holds 4096 bytes and ends after a line break among its 2nd to
// 4095th bytes: a line of 4094 bytes fits, one of 4095 does not, unless the
// text ends within the window.
TEST(TParser, WindowBoundaries) {
  const auto line = [](std::size_t length) { return std::string(length, 'x'); };
  const std::string tail(5000, '\n');
  EXPECT_EQ(Tokens(line(4094) + "\n" + line(3) + tail).size(), 2u);
  EXPECT_EQ(ParserError(line(4095) + "\n" + tail), "Line too long on line 1");
  EXPECT_EQ(Tokens(line(4095)).size(), 1u);
  // 4096 bytes fill the window, so it is cut back, and finds no line break.
  EXPECT_EQ(ParserError(line(4095) + "\n"), "Line too long on line 1");
  EXPECT_EQ(ParserError(line(4096)), "Line too long on line 1");
  // The line count goes on across windows.
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "a = 1\n";
  EXPECT_EQ(ParserError(many + "'"), "Invalid string constant on line 3001");
  EXPECT_EQ(Tokens(many).size(), 9000u);
}

}  // namespace
}  // namespace bgconv
