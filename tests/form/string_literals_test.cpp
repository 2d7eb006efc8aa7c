#include "form/string_literals.h"

#include <gtest/gtest.h>

namespace bgconv {
namespace {

// The text a byte string gets as a property value at nesting level 1.
std::string ByteStringText(std::string_view bytes) {
  std::string out;
  FormTextWriter writer(out);
  writer.Nest();
  WriteByteString(writer, bytes);
  return out;
}

std::string WideStringText(std::u16string_view units) {
  std::string out;
  FormTextWriter writer(out);
  writer.Nest();
  WriteWideString(writer, units);
  return out;
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

// Lines of a split string at nesting 1 stand one level deeper: four blanks.
const std::string kBreak = " +\r\n    ";

TEST(ByteString, QuotesEscapesAndRawHighBytes) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"", "''"},
      {"OK", "'OK'"},
      {"line1\r\nline2", "'line1'#13#10'line2'"},
      {"it's", "'it'#39's'"},
      {"'", "#39"},
      {"\t", "#9"},
      {"\xA7\x41\xA6\x6E", "'\xA7\x41\xA6\x6E'"},  // double-byte characters stay raw
      {std::string("a\0b", 3), "'a'#0'b'"},
  };
  for (const auto& c : cases) EXPECT_EQ(ByteStringText(c.bytes), c.text) << c.bytes;
}

TEST(ByteString, SplitsAfter64BytesPerLine) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {Repeat('a', 64), "'" + Repeat('a', 64) + "'"},
      {Repeat('a', 65), "\r\n    '" + Repeat('a', 64) + "'" + kBreak + "'a'"},
      {Repeat('a', 128), "\r\n    '" + Repeat('a', 64) + "'" + kBreak + "'" + Repeat('a', 64) + "'"},
      {Repeat('a', 129), "\r\n    '" + Repeat('a', 64) + "'" + kBreak + "'" + Repeat('a', 64) + "'" + kBreak + "'a'"},
      // An escape counts as one byte of the line.
      {Repeat('a', 63) + "\r" + "b", "\r\n    '" + Repeat('a', 63) + "'#13" + kBreak + "'b'"},
      {Repeat('\r', 65), "\r\n    " +
                             [] {
                               std::string escapes;
                               for (int i = 0; i < 64; ++i) escapes += "#13";
                               return escapes;
                             }() +
                             kBreak + "#13"},
  };
  for (const auto& c : cases) EXPECT_EQ(ByteStringText(c.bytes), c.text) << c.bytes.size();
}

TEST(ByteString, NeverSplitsADoubleByteCharacter) {
  const std::string big5 = "\xA7\x41";  // one character, lead byte 0xA7
  struct Case {
    const char* why;
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"character on bytes 64 and 65: the first line ends after 63 bytes", Repeat('a', 63) + big5 + "b",
       "\r\n    '" + Repeat('a', 63) + "'" + kBreak + "'" + big5 + "b'"},
      {"character on bytes 63 and 64: the line is full", Repeat('a', 62) + big5 + "bc",
       "\r\n    '" + Repeat('a', 62) + big5 + "'" + kBreak + "'bc'"},
      {"a run of lead bytes counts in pairs", Repeat('\xA4', 66),
       "\r\n    '" + Repeat('\xA4', 64) + "'" + kBreak + "'\xA4\xA4'"},
      {"an odd run before byte 65 makes it a trail byte", "x" + Repeat('\xA4', 64) + "y",
       "\r\n    'x" + Repeat('\xA4', 62) + "'" + kBreak + "'\xA4\xA4y'"},
      {"after 63 escapes the run is empty", Repeat('\t', 63) + big5 + "z",
       "\r\n    " +
           [] {
             std::string escapes;
             for (int i = 0; i < 63; ++i) escapes += "#9";
             return escapes;
           }() +
           "''" + kBreak + "'" + big5 + "z'"},
  };
  for (const auto& c : cases) EXPECT_EQ(ByteStringText(c.bytes), c.text) << c.why;
}

TEST(WideString, EscapesEverythingButPrintableAscii) {
  struct Case {
    std::u16string units;
    std::string text;
  };
  const Case cases[] = {
      {u"", "''"},
      {u"ab\u4F60\u597D", "'ab'#20320#22909"},
      {u"\u00C8", "#200"},
      {u"a'b", "'a'#39'b'"},
      {u"\x7F~", "'\x7F~'"},
      {u"\r\n", "#13#10"},
      {std::u16string(1, u'\xFFFF'), "#65535"},
  };
  for (const auto& c : cases) EXPECT_EQ(WideStringText(c.units), c.text);
}

TEST(WideString, SplitsAfter64UnitsWithoutLeadByteCorrection) {
  std::u16string units(63, u'a');
  units += u"\u4F60\u597Db";
  EXPECT_EQ(WideStringText(units), "\r\n    '" + Repeat('a', 63) + "'#20320" + kBreak + "#22909'b'");
  EXPECT_EQ(WideStringText(std::u16string(64, u'x')), "'" + Repeat('x', 64) + "'");
  // Bytes 0xA4 are lead bytes in a byte string, but a unit 0xA4 is an escape.
  EXPECT_EQ(WideStringText(std::u16string(65, u'\xA4')).substr(0, 10), "\r\n    #164");
}

TEST(Utf8Value, DecodesByTheLeadBytesBit0x20) {
  struct Case {
    std::string bytes;
    std::u16string units;
  };
  // clang-format off
  const Case cases[] = {
      {"ab", u"ab"},
      {"\xE4\xBD\xA0\xE5\xA5\xBD", u"\u4F60\u597D"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xF0\x9F\x98", u"\u07D8"},  // 0x20 set: two continuations; 16 bits kept
      {"a\xC3", u""},                                                       // cut off
      {"\xE4\xBDx", u""},                                                   // not a continuation byte
      {"\xC3\xA9\xC3", u""},                                                // one bad sequence empties it all
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(DecodeUtf8Value(c.bytes), c.units) << c.bytes;
}

}  // namespace
}  // namespace bgconv
