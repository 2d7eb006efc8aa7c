#include "vocabulary.h"

#include <gtest/gtest.h>

#include "codec/converter.h"
#include "platform/ansi_codepage.h"
#include "platform/errors.h"

namespace bgconv {
namespace {

std::string Gb(std::u16string_view text) { return AnsiCodePage(kCodePageGb2312).FromWide(text); }
std::string Big5(std::u16string_view text) { return AnsiCodePage(kCodePageBig5).FromWide(text); }

TEST(VocabularyConverter, PicksTheTraditionalCharacterByTheWord) {
  const VocabularyConverter to_big5(Direction::kGbToBig);
  const struct {
    std::u16string gb;
    std::u16string big5;
  } cases[] = {
      {u"头发", u"頭髮"}, {u"发现", u"發現"}, {u"面条", u"麵條"}, {u"里面", u"裡面"},
      {u"台风", u"颱風"}, {u"干涉", u"干涉"}, {u"干燥", u"乾燥"}, {u"能干", u"能幹"},
  };
  for (const auto& c : cases) EXPECT_EQ(to_big5.Convert(Gb(c.gb)), Big5(c.big5)) << Big5(c.big5);
}

TEST(VocabularyConverter, SimplifiesBig5) {
  const VocabularyConverter to_gb(Direction::kBigToGb);
  EXPECT_EQ(to_gb.Convert(Big5(u"頭髮與發現；乾燥")), Gb(u"头发与发现；干燥"));
}

TEST(VocabularyConverter, EverythingButDefinedCharactersGoesThroughTheTables) {
  const struct {
    Direction direction;
    std::string text;
  } cases[] = {
      {Direction::kGbToBig, "unit Unit1;\r\n\tx := 'a'#13#10;\x7F\x80\r\n"},
      {Direction::kGbToBig, "\xA1"},               // a lead byte at the very end
      {Direction::kGbToBig, "\xFF\xFF\xFF"},       // bytes no GB2312 character starts with
      {Direction::kBigToGb, "\xA1\x30xyz"},        // a lead byte with a trail the code page rejects
      {Direction::kBigToGb, "a\xFA\x40\xFE\xFE"},  // user-defined characters
      {Direction::kGbToBig, "\xC7\xA5"},           // 钎: its Taiwan form 釺 is not in Big5
      {Direction::kBigToGb, "\xB0\x58"},           // 訏: its simplified form lies outside GBK
  };
  for (const auto& c : cases) {
    const VocabularyConverter converter(c.direction);
    EXPECT_EQ(converter.Convert(c.text), ConvertText(c.text, c.direction)) << c.text;
  }
}

TEST(VocabularyConverter, KeepsTheBytesAroundTheWords) {
  const VocabularyConverter to_big5(Direction::kGbToBig);
  const std::string gb = "Caption = '" + Gb(u"头发") + "'\r\n\tx := #13;" + Gb(u"发现") + "\x80";
  EXPECT_EQ(to_big5.Convert(gb), "Caption = '" + Big5(u"頭髮") + "'\r\n\tx := #13;" + Big5(u"發現") + "\x80");
}

}  // namespace
}  // namespace bgconv
