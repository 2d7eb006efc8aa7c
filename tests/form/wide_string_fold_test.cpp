#include "form/wide_string_fold.h"

#include <gtest/gtest.h>

#include <random>

#include "form/parser.h"
#include "platform/errors.h"

namespace bgconv {
namespace {

const AnsiCodePage& Gb2312() {
  static const AnsiCodePage code_page(kCodePageGb2312);
  return code_page;
}

const std::string kHead = "object Form1: TForm1\r\n";

std::string Folded(std::string_view text, const AnsiCodePage& code_page = Gb2312()) {
  return FoldWideStrings(text, code_page).Text();
}

// The 1-based position of the first `sub` in `s` at or after position
// `start`, or start - 1 when there is none: the search of the reference fold.
std::size_t PosFrom(std::size_t start, std::string_view sub, std::string_view s) {
  const std::string_view tail = start >= 1 && start <= s.size() ? s.substr(start - 1) : std::string_view();
  const std::size_t found = sub.empty() ? std::string_view::npos : tail.find(sub);
  return found == std::string_view::npos ? start - 1 : start + found;
}

TEST(PosFrom, SearchesFromAOneBasedStart) {
  EXPECT_EQ(PosFrom(1, "b", "abcb"), 2u);
  EXPECT_EQ(PosFrom(3, "b", "abcb"), 4u);
  EXPECT_EQ(PosFrom(3, "a", "abcb"), 2u);  // not found: start - 1
  EXPECT_EQ(PosFrom(9, "a", "abcb"), 8u);
  EXPECT_EQ(PosFrom(2, "", "abcb"), 1u);
}

TEST(FoldWideStrings, FoldsIntoTheCodePage) {
  struct Case {
    std::string line;
    std::string folded;
  };
  const Case cases[] = {
      {"  Caption = #20320#22909", "  Caption = '\xC4\xE3\xBA\xC3'"},
      {"  Caption = 'ab'#20320", "  Caption = 'ab\xC4\xE3'"},
      {"  Caption = #65'b'", "  Caption = #65'b'"},
      {"  Caption = #35531#31245#20505'...'", "  Caption = '\xD5\x88\xC9\xD4\xBA\xF2...'"},
      {"  Caption = #200", "  Caption = '?'"},  // U+00C8 is not in GB2312
      // Raw bytes in a wide token are U+0080-U+00FF, not the characters they were.
      {"  Caption = '\xC4\xE3'#20320",
       "  Caption = '?"
       "?\xC4\xE3'"},
      {"  Hint = 'x'#13#10#20320", "  Hint = 'x'#13#10'\xC4\xE3'"},
      {"  Hint = 'it'#39's'#20320", "  Hint = 'it'#39's\xC4\xE3'"},
      {"  Hint = #0#20320", "  Hint = #0'\xC4\xE3'"},
      {"  Hint = #55357#56832#20320", "  Hint = '?\xC4\xE3'"},  // a character beyond GB2312: one "?"
      // Invisible characters outside the code page are no exception.
      {"  Hint = #173#8203#8205#847#65279", "  Hint = '" + std::string(5, '?') + "'"},
  };
  for (const auto& c : cases) EXPECT_EQ(Folded(kHead + c.line + "\r\nend\r\n"), kHead + c.folded + "\r\nend\r\n");
}

TEST(FoldWideStrings, KeepsTheLinesOfASplitWideString) {
  std::string text = kHead + "  Caption = \r\n    '";
  text += std::string(60, 'a') + "'#20320#20320#20320#20320 +\r\n    #22909#22909'b'\r\nend\r\n";
  EXPECT_EQ(Folded(text), kHead + "  Caption = \r\n    '" + std::string(60, 'a') +
                              "\xC4\xE3\xC4\xE3\xC4\xE3\xC4\xE3' +\r\n    '\xBA\xC3\xBA\xC3" + "b'\r\nend\r\n");
}

TEST(FoldWideStrings, TheFirstTokenIsNeverFolded) { EXPECT_EQ(Folded("#20320 = #20320"), "#20320 = '\xC4\xE3'\r\n"); }

TEST(FoldWideStrings, TextWithoutWideTokensIsOnlySplit) {
  const std::string text = kHead + "  Caption = '\xFF\x80\xA4'\nend";
  EXPECT_EQ(Folded(text), kHead + "  Caption = '\xFF\x80\xA4'\r\nend\r\n");
  EXPECT_EQ(Folded(std::string("object A\r\n  B = 1\0#20320", 24)), "object A\r\n  B = 1\r\n");
}

TEST(FoldWideStrings, OtherTextGoesThroughTheCodePageOnceAFoldHappens) {
  // An invalid pair in an identifier becomes "?"; line breaks stay.
  EXPECT_EQ(Folded(kHead + "  \xA4\r\n  P = #20320\r\nend\n"), kHead + "  ?\r\n  P = '\xC4\xE3'\r\nend\r\n");
}

TEST(FoldWideStrings, ReplacesOnlyTheTokenItself) {
  // The same characters in a plain literal before the token stay as they are.
  EXPECT_EQ(Folded(kHead + "  Hint = '#22909'\r\n  Caption = #22909\r\nend\r\n"),
            kHead + "  Hint = '#22909'\r\n  Caption = '\xBA\xC3'\r\nend\r\n");
  // Ten characters beyond GB2312 (twenty UTF-16 units) fold into ten "?",
  // so the text shrinks past the next token; that token is still folded.
  std::string emoji;
  for (int i = 0; i < 10; ++i) emoji += "#55357#56832";
  EXPECT_EQ(Folded(kHead + "  P = (" + emoji + " #20320)\r\nend\r\n"),
            kHead + "  P = ('" + std::string(10, '?') + "' '\xC4\xE3')\r\nend\r\n");
  // The first fold turns the lone lead byte of the second token into "?", so
  // that token's source no longer stands in the text; it is folded anyway.
  EXPECT_EQ(Folded(kHead + "  A = #20320\r\n  B = '\xA1'#22909\r\nend\r\n"),
            kHead + "  A = '\xC4\xE3'\r\n  B = '?\xBA\xC3'\r\nend\r\n");
}

TEST(FoldWideStrings, FoldsIntoBig5) {
  const AnsiCodePage big5(kCodePageBig5);
  EXPECT_EQ(Folded(kHead + "  Caption = #35531#31245#20505\r\n", big5),
            kHead + "  Caption = '\xBD\xD0\xB5\x79\xAD\xD4'\r\n");
  EXPECT_EQ(Folded(kHead + "  Hint = #173#8203#8205#847#65279\r\n", big5),
            kHead + "  Hint = '" + std::string(5, '?') + "'\r\n");
}

TEST(FoldWideStrings, TokenizerFailuresPassThrough) {
  EXPECT_THROW(Folded(kHead + "  Caption = 'open\r\nend\r\n"), EParserError);
}

TEST(FoldedLiteral, StaysOneValidLine) {
  EXPECT_EQ(FoldedLiteral(u"\u4F60"), u"'\u4F60'");
  EXPECT_EQ(FoldedLiteral(u"a'b"), u"'a'#39'b'");
  EXPECT_EQ(FoldedLiteral(u"\r\n"), u"#13#10");
  EXPECT_EQ(FoldedLiteral(u"'x'"), u"#39'x'#39");
}

// The fold as a literal reading of its description: per wide-string token,
// search its source from the running position in the current text, take the
// whole text through UTF-16 with the literal in place, and move on by the
// length of the value.  Where no source text repeats and no fold shortens
// the text, FoldWideStrings must give the same.
std::string ReferenceFold(std::string_view decoded, const AnsiCodePage& code_page) {
  LineList lines;
  lines.SetText(decoded);
  TParser parser(decoded, code_page);
  std::size_t running = 1;
  while (parser.ScanToken() != kEndOfText) {
    if (parser.Token() != kWideStringToken) continue;
    const std::u16string value = parser.TokenWideValue();
    const std::string source = parser.TokenSource();
    const std::string text = lines.Text();
    const std::size_t p = PosFrom(running, source, text);
    std::u16string rebuilt = code_page.ToWide(text.substr(0, p - 1));
    rebuilt += u'\'' + value + u'\'';
    rebuilt += code_page.ToWide(text.substr(p - 1 + source.size()));
    lines.SetText(code_page.FromWide(rebuilt));
    running = p + value.size();
  }
  return lines.Text();
}

// Form-like text: properties whose values are plain or wide literals made of
// ASCII runs, escapes of GB2312 characters and of printable ASCII, raw
// GB2312 bytes, and stray bytes outside strings; line breaks of every kind.
// No value holds a quote or a control character, which the reference would
// write raw and so break the literal, and no token holds bytes that the code
// page changes, which would make the reference's search miss it.
std::string RandomFormText(std::mt19937& random) {
  const char* const hanzi[] = {"#20320", "#22909", "#35531", "#31245", "#20505", "#27721", "#23383"};
  const char* const breaks[] = {"\r\n", "\n", "\r"};
  std::string text = "object Form1: TForm1\r\n";
  const int properties = 1 + static_cast<int>(random() % 12);
  for (int i = 0; i < properties; ++i) {
    text += "  P" + std::to_string(i) + " = ";
    const int pieces = 1 + static_cast<int>(random() % 5);
    for (int k = 0; k < pieces; ++k) {
      switch (random() % 5) {
        case 0:
          text += hanzi[random() % 7];
          break;
        case 1:
          text += "'ab c'#32";
          break;
        case 2:
          text += "#" + std::to_string(40 + random() % 87);
          break;
        case 3:
          text += "'\xC4\xE3'#32";
          break;
        default:
          text += " \xFE\xFF ";  // bytes no code page maps, outside any string
      }
    }
    text += breaks[random() % 3];
  }
  return text + "end\r\n";
}

TEST(FoldWideStrings, AgreesWithTheFoldOfTheWholeTextPerToken) {
  std::mt19937 random(12345);
  for (int i = 0; i < 2000; ++i) {
    const std::string text = RandomFormText(random);
    ASSERT_EQ(Folded(text), ReferenceFold(text, Gb2312())) << text;
  }
}

// The text between two folds goes through the code page in pieces: a long
// stretch of lines of every break kind, with lead bytes right before the
// breaks and bytes no code page maps, comes out as the whole text would.
TEST(FoldWideStrings, ALongTextFoldsAsTheWhole) {
  const char* const lines[] = {"  A = 1 \xA4\n", "  B = '\xB0\xEA' \xB0\r", " \xFE\xFF\r\n", "\xC4\xE3\n\r\n"};
  std::string filler;
  for (int i = 0; filler.size() < 300000; ++i) filler += lines[i % 4];
  const std::string text = kHead + "  C = #20320\r\n" + filler + "  D = #22909\n" + filler + "end";
  const std::string folded = Folded(text);
  EXPECT_EQ(folded, ReferenceFold(text, Gb2312()));
  EXPECT_EQ(FoldWideStringsToText(text, Gb2312()), folded);
}

}  // namespace
}  // namespace bgconv
