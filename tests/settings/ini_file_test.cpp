#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

TMemIniFile StoreOf(const test_support::TempDir& dir, std::string_view text) {
  return TMemIniFile(dir.Write("store.ini", text));
}

TEST(IniFile, ReadingRules) {
  struct Case {
    std::string_view why;
    std::string text;
    std::string section;
    std::string key;
    std::string expected;  // "<default>" when the key must not be found
  };
  const Case cases[] = {
      {"trimmed name and value", "[cpOption]\r\n  DefLan  =  0  \r\n", "cpOption", "DefLan", "0"},
      {"tabs and control characters trim too", "\t[cpOption]\x01\n\tDefLan=\t7\x1f\n", "cpOption", "DefLan", "7"},
      {"section name trimmed", "[ cpView ]\nk=v\n", "cpView", "k", "v"},
      {"names ignore case", "[CPOPTION]\ndefLAN=5\n", "cpOption", "DefLan", "5"},
      {"the later duplicate key wins", "[s]\nk=1\nk=2\n", "s", "k", "2"},
      {"the later duplicate section wins", "[s]\nk=1\n[S]\nother=x\n", "s", "k", "<default>"},
      {"value keeps its own '='", "[s]\nk = a=b\n", "s", "k", "a=b"},
      {"comment skipped", "[s]\n;k=1\n", "s", "k", "<default>"},
      {"lines before the first section dropped", "k=1\n[s]\n", "s", "k", "<default>"},
      {"a line without '=' is no key", "[s]\nk\n", "s", "k", "<default>"},
      {"CR alone ends a line", "[s]\rk=1\rj=2", "s", "j", "2"},
      {"a zero byte ends the text", std::string("[s]\nk=1\n\0j=2\n", 13), "s", "j", "<default>"},
      {"empty value", "[s]\nk=\n", "s", "k", ""},
      {"missing section", "[s]\nk=1\n", "t", "k", "<default>"},
      // 0xA5 0x5D is one Big5 character: its trail byte is no closing bracket,
      // so the line is no section header and k stays in [s].
      {"trail byte ']' closes no section", "[s]\n[\xA5\x5D\nk=1\n", "s", "k", "1"},
      {"double-byte name matched exactly", "[s]\n\xA4\x61=1\n", "s", "\xA4\x41", "<default>"},
      {"double-byte name found", "[\xB3\x5D\xA9\x77]\n\xA4\x61=1\n", "\xB3\x5D\xA9\x77", "\xA4\x61", "1"},
      // Trimmed, the name would end in a lead byte, and "[\xA4]" reads as no
      // section: so the line is none either.
      {"a name ending in a lead byte", "[s]\n[\xA4 ]\nk=1\n", "s", "k", "1"},
  };
  test_support::TempDir dir;
  for (const auto& c : cases) {
    const auto store = StoreOf(dir, c.text);
    EXPECT_EQ(store.ReadText(c.section, c.key, "<default>"), c.expected) << c.why;
  }
}

TEST(IniFile, ParseInteger) {
  struct Case {
    std::string_view text;
    std::optional<std::int32_t> expected;
  };
  // clang-format off
  const Case cases[] = {
      {"1", 1},           {"  12", 12},        {"+5", 5},           {"-5", -5},
      {"012", 12},        {"$1F", 31},         {"$1f", 31},         {"0x10", 16},
      {"0X10", 16},       {"x10", 16},         {"X10", 16},         {"$FFFFFFFF", -1},
      {"$80000008", static_cast<std::int32_t>(0x80000008u)},
      {"2147483647", 2147483647},              {"-2147483648", INT32_MIN},
      {"2147483648", {}}, {"-2147483649", {}}, {"$100000000", {}},  {"", {}},
      {" ", {}},          {"$", {}},           {"-", {}},           {"0x", {}},
      {"12 ", {}},        {"one", {}},         {"1e3", {}},         {"-$5", {}},
      {"0x-1", {}},       {"$G", {}},          {"\t1", {}},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.expected) << c.text;
}

TEST(IniFile, NumbersAndFlags) {
  test_support::TempDir dir;
  const auto store = StoreOf(dir,
                             "[n]\nhex=0x1\ndollar=$1\nblanks=  1  \nword=one\nempty=\nbig=99999999999\n"
                             "[f]\none=1\nminus=-1\ntwo=2\nzero=0\nword=true\n");
  for (const char* key : {"hex", "dollar", "blanks"}) EXPECT_EQ(store.ReadNumber("n", key, 9), 1) << key;
  for (const char* key : {"word", "empty", "big", "absent"}) EXPECT_EQ(store.ReadNumber("n", key, 9), 9) << key;

  for (const char* key : {"one", "minus", "two"}) EXPECT_TRUE(store.ReadFlag("f", key, false)) << key;
  EXPECT_FALSE(store.ReadFlag("f", "zero", true));
  EXPECT_TRUE(store.ReadFlag("f", "word", true)) << "a word reads as the default";
  EXPECT_FALSE(store.ReadFlag("f", "word", false)) << "a word reads as the default";
}

TEST(IniFile, WritesReplaceInPlaceOrAppend) {
  test_support::TempDir dir;
  auto store = StoreOf(dir, "; settings\r\n\r\n[cpOption]\r\nDefLan=0\r\nx=1\r\ndeflan=1\r\n\r\n[cpView]\r\nf=a\r\n");
  store.WriteNumber("CPOPTION", "DefLan", 5);           // replaces the later line, spelled as passed here
  store.WriteFlag("cpOption", "AddConfigFile", false);  // appended to its section
  store.WriteText("cpEng", "FilePath", "");             // a new section at the end
  store.WriteNumber("cpView", "n", -3);
  EXPECT_EQ(store.Text(),
            "[cpOption]\r\nDefLan=0\r\nx=1\r\nDefLan=5\r\nAddConfigFile=0\r\n\r\n"
            "[cpView]\r\nf=a\r\nn=-3\r\n\r\n"
            "[cpEng]\r\nFilePath=\r\n\r\n");
  EXPECT_EQ(store.ReadNumber("cpoption", "DEFLAN", 9), 5);
  EXPECT_TRUE(store.HasKey("cpEng", "filepath"));
  EXPECT_FALSE(store.HasKey("cpEng", "Parameter"));

  store.SaveFile();
  EXPECT_EQ(dir.Read("store.ini"), store.Text()) << "the comment and blank lines are gone";
  EXPECT_EQ(TMemIniFile(dir.File("store.ini")).Text(), store.Text()) << "a saved file reads back the same";
}

TEST(IniFile, ASavedFileReadsBackTheSame) {
  test_support::TempDir dir;
  for (const std::string text : {"[s]\n[\xA4\t]\nk=1\n", "[s]\n[ \xA4\xA4 ]\nk=1\n[\x01\xA4]\nj=2\n"}) {
    const auto store = StoreOf(dir, text);
    store.SaveFile();
    EXPECT_EQ(TMemIniFile(dir.File("store.ini")).Text(), store.Text()) << text;
  }
}

TEST(IniFile, MissingFileIsEmptyUntilSaved) {
  test_support::TempDir dir;
  TMemIniFile store(dir.File("new.ini"));
  EXPECT_EQ(store.ReadText("s", "k", "d"), "d");
  EXPECT_FALSE(std::filesystem::exists(dir.File("new.ini"))) << "reading writes nothing";
  store.WriteText("s", "k", "\xB2\xD3\xA9\xFA");
  store.SaveFile();
  EXPECT_EQ(dir.Read("new.ini"), "[s]\r\nk=\xB2\xD3\xA9\xFA\r\n\r\n");
  EXPECT_EQ(TMemIniFile("").ReadText("s", "k", "d"), "d");
}

TEST(IniFile, FailuresNameTheFile) {
  test_support::TempDir dir;
  const auto file = dir.Write("plain", "x");
  // A folder where the file should be cannot be read, and nothing can be
  // created below a regular file; both hold for root too.
  std::filesystem::create_directory(dir.File("folder.ini"));
  try {
    TMemIniFile store(dir.File("folder.ini"));
    FAIL() << "a folder was read as an ini file";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + dir.File("folder.ini"));
  }
  TMemIniFile store(file + "/settings.ini");
  store.WriteText("s", "k", "v");
  try {
    store.SaveFile();
    FAIL() << "a file was saved below a regular file";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + file + "/settings.ini");
  }
}

}  // namespace
}  // namespace bgconv
