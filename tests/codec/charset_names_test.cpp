#include "codec/charset_names.h"

#include <gtest/gtest.h>

#include "codec/converter.h"

namespace bgconv {
namespace {

TEST(CharsetNames, RewritesBySourceAndTarget) {
  struct Case {
    Direction direction;
    bool change_default;
    std::string in, out;
  };
  const Case cases[] = {
      {Direction::kBigToGb, false, "Font.Charset = CHINESEBIG5_CHARSET", "Font.Charset = GB2312_CHARSET"},
      {Direction::kBigToGb, true, "Font.Charset = DEFAULT_CHARSET", "Font.Charset = GB2312_CHARSET"},
      {Direction::kBigToGb, false, "Font.Charset = DEFAULT_CHARSET", "Font.Charset = DEFAULT_CHARSET"},
      {Direction::kGbToBig, false, "Font.Charset = GB2312_CHARSET", "Font.Charset = CHINESEBIG5_CHARSET"},
      {Direction::kGbToBig, true, "x = DEFAULT_CHARSET", "x = CHINESEBIG5_CHARSET"},
      {Direction::kGbToBig, false, "Charset = gb2312_Charset;", "Charset = CHINESEBIG5_CHARSET;"},
      {Direction::kBigToGb, false, "a CHINESEBIG5_CHARSET b GB2312_CHARSET", "a GB2312_CHARSET b GB2312_CHARSET"},
      {Direction::kBigToGb, false, "only GB2312_CHARSET here", "only GB2312_CHARSET here"},
      {Direction::kBigToGb, false, "'XCHINESEBIG5_CHARSETS' in a literal", "'XGB2312_CHARSETS' in a literal"},
      {Direction::kBigToGb, false, "CHINESEBIG5_CHARSETCHINESEBIG5_CHARSET", "GB2312_CHARSETGB2312_CHARSET"},
      {Direction::kBigToGb, true, "", ""},
      {Direction::kBigToGb, true, "Caption = 'Mixed Case Kept'", "Caption = 'Mixed Case Kept'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FixCharsetNames(c.in, TargetSet(c.direction), c.direction, c.change_default), c.out) << c.in;
  }
}

TEST(CharsetNames, InsertedTextIsNotSearchedAgain) {
  // GB->BIG: DEFAULT_CHARSET becomes CHINESEBIG5_CHARSET, which is not the
  // source identifier of this direction and stays.
  EXPECT_EQ(FixCharsetNames("DEFAULT_CHARSET GB2312_CHARSET", CodeSet::kBig5, Direction::kGbToBig, true),
            "CHINESEBIG5_CHARSET CHINESEBIG5_CHARSET");
}

// The rewrite reads characters as the converter does, in the set the text is
// in: an identifier right after a byte that is no lead byte there, or after a
// lead byte without a trail byte, is found; one whose first letter is the
// trail byte of a pair is not, and the trail byte keeps its case.
TEST(CharsetNames, StepsOverCharactersByTheConverterRule) {
  struct Case {
    const char* what;
    CodeSet set;
    std::string in, out;
  };
  const Case cases[] = {
      {"after 0x81-0xA0", CodeSet::kBig5, "\x81gb2312_charset",
       "\x81"
       "CHINESEBIG5_CHARSET"},
      {"after 0x81-0xA0", CodeSet::kGb2312, "\xA0GB2312_CHARSET",
       "\xA0"
       "CHINESEBIG5_CHARSET"},
      {"after a Latin-1 letter", CodeSet::kGb2312, "\xE9gb2312_charset",
       "\xE9"
       "CHINESEBIG5_CHARSET"},
      {"'g' is a Big5 trail byte", CodeSet::kBig5, "\xA4gb2312_charset", "\xA4gb2312_charset"},
      {"after a whole character", CodeSet::kBig5, "\xA4\x40gb2312_charset",
       "\xA4\x40"
       "CHINESEBIG5_CHARSET"},
      {"after a whole character", CodeSet::kGb2312, "\xA4\xA1gb2312_charset",
       "\xA4\xA1"
       "CHINESEBIG5_CHARSET"},
      {"a lead byte inside the identifier", CodeSet::kBig5, "GB2312\xA4_CHARSET", "GB2312\xA4_CHARSET"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixCharsetNames(c.in, c.set, Direction::kGbToBig, false), c.out) << c.what;
}

}  // namespace
}  // namespace bgconv
