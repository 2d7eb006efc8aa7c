#include "settings/font_string.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/errors.h"
#include "settings/font_ini_file.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

Font MsSansSerif() {
  Font font;
  font.name = "MS Sans Serif";
  font.size = 8;
  font.style.bold = true;
  font.style.italic = true;
  font.colour = kColourWindowText;
  font.charset = kAnsiCharset;
  return font;
}

TEST(FontString, Writing) {
  EXPECT_EQ(FontToString(MsSansSerif()), "MS Sans Serif,8,BI,0,clWindowText,0");

  Font font;
  font.name = "\xB2\xD3\xA9\xFA\xC5\xE9";
  font.size = 12;
  font.style = {true, true, true, true};
  font.pitch = FontPitch::kFixed;
  font.colour = 0x00123456;  // red 0x56, green 0x34, blue 0x12: no identifier
  font.charset = kGb2312Charset;
  EXPECT_EQ(FontToString(font), "\xB2\xD3\xA9\xFA\xC5\xE9,12,BIUS,2,$00123456,134");

  font.colour = 0x80000020;  // a system colour index without identifier
  EXPECT_EQ(ColourToText(font.colour), "$80000020");
}

TEST(FontString, ReadingAppliesTheLeadingFields) {
  struct Case {
    std::string_view text;
    std::string_view expected;  // the font after applying, as a font string
  };
  // Start: MS Sans Serif,8,BI,0,clWindowText,0
  const Case cases[] = {
      {"Arial;12", "Arial,12,BI,0,clWindowText,0"},
      {"  Arial , 12 , ub ", "Arial,12,BU,0,clWindowText,0"},
      {"Arial,x,,1,clRed,136", "Arial,8,,1,clRed,136"},
      {"Arial,$A,s,2,$000000FF,0x86", "Arial,10,S,2,clRed,134"},
      {"Arial,10,B,7,CLNAVY,300", "Arial,10,B,0,clNavy,0"},  // pitch and charset out of range keep theirs
      {"Arial,10,B,1,-2147483640,1", "Arial,10,B,1,clWindowText,1"},
      {"Arial,10,B,1,0x80000016,1,extra,more", "Arial,10,B,1,cl3DLight,1"},
      {",9", ",9,BI,0,clWindowText,0"},
      {"", "MS Sans Serif,8,BI,0,clWindowText,0"},
      {"Arial,", "Arial,8,BI,0,clWindowText,0"},
  };
  for (const auto& c : cases) {
    Font font = MsSansSerif();
    StringToFont(c.text, font);
    EXPECT_EQ(FontToString(font), c.expected) << c.text;
  }
}

TEST(FontString, BadColourStopsBeforeTheCharset) {
  Font font = MsSansSerif();
  EXPECT_THROW(StringToFont("Arial,12,U,1,notacolour,136", font), EConvertError);
  EXPECT_EQ(FontToString(font), "Arial,12,U,1,clWindowText,0");

  // Read from a store the same text applies as far as it can, quietly.
  test_support::TempDir dir;
  TFontIniFile store(dir.Write("fonts.ini", "[cpView]\nmemo1Font=Arial,12,U,1,notacolour,136\n"));
  font = MsSansSerif();
  EXPECT_EQ(FontToString(store.ReadFont("cpview", "MEMO1FONT", font)), "Arial,12,U,1,clWindowText,0");
  font = MsSansSerif();
  EXPECT_EQ(store.ReadFont("cpView", "absent", font), MsSansSerif());
}

TEST(FontString, StyleLetters) {
  EXPECT_EQ(StyleToLetters({}), "");
  EXPECT_EQ(StyleToLetters({false, true, false, true}), "IS");
  EXPECT_EQ(LettersToStyle("ub"), (FontStyle{true, false, true, false}));
  EXPECT_EQ(LettersToStyle("xSibxx"), (FontStyle{true, true, false, true}));
  // 0xA4 0x42 is one double-byte character; its trail byte is no "B".
  EXPECT_EQ(LettersToStyle("\xA4\x42"), FontStyle{});
}

TEST(FontString, ColourIdentifiersReadBothWays) {
  const auto colours = NamedColours();
  ASSERT_EQ(colours.size(), 52u);
  std::set<Colour> values;
  for (const auto& named : colours) {
    values.insert(named.value);
    EXPECT_EQ(ColourToText(named.value), named.name);
    EXPECT_EQ(ColourByName(named.name), named.value);
  }
  EXPECT_EQ(values.size(), 52u) << "no two identifiers share a value";

  // The values other programs store for these identifiers.
  const NamedColour known[] = {
      {"clBlack", 0x000000},     {"clRed", 0x0000FF},          {"clBlue", 0xFF0000},     {"clMoneyGreen", 0xC0DCC0},
      {"clSkyBlue", 0xF0CAA6},   {"clCream", 0xF0FBFF},        {"clMedGray", 0xA4A0A0},  {"clScrollBar", 0x80000000},
      {"clBtnFace", 0x8000000F}, {"clWindowText", 0x80000008}, {"clInfoBk", 0x80000018}, {"clHotLight", 0x8000001A},
      {"clMenuBar", 0x8000001E}, {"clDefault", 0x20000000},    {"clNone", 0x1FFFFFFF},
  };
  for (const auto& colour : known) EXPECT_EQ(ColourByName(colour.name), colour.value) << colour.name;
  EXPECT_EQ(ColourByName("CLWINDOWTEXT"), 0x80000008u);
  EXPECT_EQ(ColourByName("clNothing"), std::nullopt);
}

TEST(FontString, WriteFontReadsBack) {
  test_support::TempDir dir;
  Font font = MsSansSerif();
  font.name = "\xB2\xD3\xA9\xFA\xC5\xE9";
  font.colour = 0x00ABCDEF;
  font.pitch = FontPitch::kVariable;
  {
    TFontIniFile store(dir.File("fonts.ini"));
    store.WriteFont("cpView", "FileListFont", font);
    store.SaveFile();
  }
  Font read;
  TFontIniFile(dir.File("fonts.ini")).ReadFont("cpView", "FileListFont", read);
  EXPECT_EQ(read, font);
}

}  // namespace
}  // namespace bgconv
