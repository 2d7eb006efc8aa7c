#include "codec/charset_names.h"

#include <gtest/gtest.h>

#include "codec/converter.h"

namespace bgconv {
namespace {

TEST(CharsetNames, RewritesBySourceAndTarget) {
  struct Case {
    int direction;
    bool change_default;
    std::string in, out;
  };
  const Case cases[] = {
      {kBigToGb, false, "Font.Charset = CHINESEBIG5_CHARSET", "Font.Charset = GB2312_CHARSET"},
      {kBigToGb, true, "Font.Charset = DEFAULT_CHARSET", "Font.Charset = GB2312_CHARSET"},
      {kBigToGb, false, "Font.Charset = DEFAULT_CHARSET", "Font.Charset = DEFAULT_CHARSET"},
      {kGbToBig, false, "Font.Charset = GB2312_CHARSET", "Font.Charset = CHINESEBIG5_CHARSET"},
      {kGbToBig, true, "x = DEFAULT_CHARSET", "x = CHINESEBIG5_CHARSET"},
      {kGbToBig, false, "Charset = gb2312_Charset;", "Charset = CHINESEBIG5_CHARSET;"},
      {kBigToGb, false, "a CHINESEBIG5_CHARSET b GB2312_CHARSET", "a GB2312_CHARSET b GB2312_CHARSET"},
      {kBigToGb, false, "only GB2312_CHARSET here", "only GB2312_CHARSET here"},
      {kBigToGb, false, "'XCHINESEBIG5_CHARSETS' in a literal", "'XGB2312_CHARSETS' in a literal"},
      {kBigToGb, false, "CHINESEBIG5_CHARSETCHINESEBIG5_CHARSET", "GB2312_CHARSETGB2312_CHARSET"},
      {kBigToGb, true, "", ""},
      {kBigToGb, true, "Caption = 'Mixed Case Kept'", "Caption = 'Mixed Case Kept'"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixCharsetNames(c.in, c.direction, c.change_default), c.out) << c.in;
}

TEST(CharsetNames, InsertedTextIsNotSearchedAgain) {
  // GB->BIG: DEFAULT_CHARSET becomes CHINESEBIG5_CHARSET, which is not the
  // source identifier of this direction and stays.
  EXPECT_EQ(FixCharsetNames("DEFAULT_CHARSET GB2312_CHARSET", kGbToBig, true),
            "CHINESEBIG5_CHARSET CHINESEBIG5_CHARSET");
}

TEST(CharsetNames, NoDirectionLeavesTheText) {
  EXPECT_EQ(FixCharsetNames("CHINESEBIG5_CHARSET", -1, true), "CHINESEBIG5_CHARSET");
}

TEST(CharsetNames, TrailBytesNeverTakePartInAMatch) {
  // 0xA4 starts a double-byte character whose trail byte is 'g': the match
  // cannot start inside it, and the trail byte keeps its case.
  const std::string inside = "\xA4gb2312_charset";
  EXPECT_EQ(FixCharsetNames(inside, kGbToBig, false), inside);
  // After a whole double-byte character the identifier is found.
  EXPECT_EQ(FixCharsetNames("\xA4\x40gb2312_charset", kGbToBig, false), "\xA4\x40" "CHINESEBIG5_CHARSET");
  // A lead byte inside the identifier's window ends the match.
  const std::string split = "GB2312\xA4_CHARSET";
  EXPECT_EQ(FixCharsetNames(split, kGbToBig, false), split);
}

}  // namespace
}  // namespace bgconv
