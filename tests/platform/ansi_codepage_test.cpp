#include "platform/ansi_codepage.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace bgconv {
namespace {

TEST(AnsiCodePage, ConvertsThroughMicrosoftsTables) {
  struct Case {
    int code_page;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {kCodePageBig5, "\xA7\x41\xA6\x6E", u"\u4F60\u597D"},
      {kCodePageGb2312, "\xC4\xE3\xBA\xC3", u"\u4F60\u597D"},
      {kCodePageBig5, "OK\r\n", u"OK\r\n"},
      // Codes where Microsoft's tables differ from IBM's ("cp950" in ICU).
      {kCodePageBig5, "\xA3\xE1", u"\u20AC"},
      {kCodePageBig5, "\xF9\xF9", u"\u2550"},
      {kCodePageBig5, "\x80", u"\u0080"},
      {kCodePageGb2312, "\x80", u"\u20AC"},
  };
  for (const auto& c : cases) {
    const AnsiCodePage code_page(c.code_page);
    EXPECT_EQ(code_page.ToWide(c.bytes), c.text) << c.code_page << " " << c.bytes;
    EXPECT_EQ(code_page.FromWide(c.text), c.bytes) << c.code_page << " " << c.bytes;
  }
}

TEST(AnsiCodePage, WhatItCannotRepresentBecomesAQuestionMark) {
  for (const int number : {kCodePageBig5, kCodePageGb2312}) {
    const AnsiCodePage code_page(number);
    EXPECT_EQ(code_page.FromWide(u"a\u0E01b"), "a?b") << number;                 // Thai
    EXPECT_EQ(code_page.FromWide(u"\U0001F600"), "?") << number;                 // beyond the BMP
    EXPECT_EQ(code_page.FromWide(std::u16string(1, u'\xD800')), "?") << number;  // lone surrogate
    // Invisible characters ICU would skip as default-ignorable: soft hyphen,
    // zero width space and joiner, combining grapheme joiner, byte order mark.
    EXPECT_EQ(code_page.FromWide(u"a\u00AD\u200B\u200D\u034F\uFEFFb"), "a?????b") << number;
    EXPECT_EQ(code_page.ToWide("ab\xA4"), u"ab?") << number;  // cut-off character
    // A lead byte before a line break is lost alone; the break stays.
    EXPECT_EQ(code_page.ToWide("\xA4\r\nx"), u"?\r\nx") << number;
    EXPECT_EQ(code_page.ToWide(""), u"");
  }
}

// Folding converts the text between wide-string tokens once, where a fold of
// the whole text per token would convert it again and again; both agree
// only if a second round trip changes nothing.
TEST(AnsiCodePage, ARoundTripIsStableAfterTheFirst) {
  for (const int number : {kCodePageBig5, kCodePageGb2312}) {
    const AnsiCodePage code_page(number);
    std::string all_pairs;
    for (int lead = 0x20; lead < 0x100; ++lead)
      for (int trail = 0x20; trail < 0x100; ++trail) {
        all_pairs += static_cast<char>(lead);
        all_pairs += static_cast<char>(trail);
        all_pairs += ' ';
      }
    const std::string once = code_page.FromWide(code_page.ToWide(all_pairs));
    EXPECT_EQ(code_page.FromWide(code_page.ToWide(once)), once) << number;
  }
}

TEST(AnsiCodePage, OnlyBig5AndGb2312) {
  EXPECT_THROW(AnsiCodePage(1252), Exception);
  EXPECT_EQ(SourceCodePage(Direction::kBigToGb), kCodePageBig5);
  EXPECT_EQ(SourceCodePage(Direction::kGbToBig), kCodePageGb2312);
  AnsiCodePage moved(kCodePageGb2312);
  AnsiCodePage target = std::move(moved);
  EXPECT_EQ(target.Number(), kCodePageGb2312);
  EXPECT_EQ(target.ToWide("\xC4\xE3"), u"\u4F60");
}

}  // namespace
}  // namespace bgconv
