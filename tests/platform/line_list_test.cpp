#include "platform/line_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using Lines = std::vector<std::string>;

TEST(LineList, SplitRules) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR ends two lines
      {"\r\n\r\n", {"", ""}},
      {"ab\0cd\r\nef", {"ab"}},
      {std::string("\0abc", 4), {}},
      {"a\r\n\0b", {"a"}},
      {"\xB3\x5C\xA5\x5C\r\n", {"\xB3\x5C\xA5\x5C"}},  // trail bytes 0x5C stay
  };
  for (const auto& c : cases) {
    LineList list;
    list.SetText(c.text);
    ASSERT_EQ(list.Count(), c.lines.size()) << c.text;
    for (std::size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(list.Get(i), c.lines[i]) << c.text;
  }
}

TEST(LineList, SplitStopsAtEmbeddedNul) {
  LineList list;
  list.SetText(std::string("ab\0cd\r\nef", 9));
  EXPECT_EQ(list.Text(), "ab\r\n");
}

TEST(LineList, JoinEndsEveryLineWithCrLf) {
  LineList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("b\nc");  // an added line keeps its breaks
  list.Add("");
  EXPECT_EQ(list.Text(), "a\r\nb\nc\r\n\r\n");
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
}

TEST(LineList, LoadAndSaveNormaliseLineEnds) {
  test_support::TempDir dir;
  struct Case {
    std::string before, after;
  };
  const Case cases[] = {
      {"unit A;\ninterface\nend.", "unit A;\r\ninterface\r\nend.\r\n"},
      {std::string("abc\r\nde\0fg\r\n", 12), "abc\r\nde\r\n"},
      {"", ""},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
  };
  for (const auto& c : cases) {
    const auto path = dir.Write("f.pas", c.before);
    LineList list;
    list.LoadFromFile(path);
    list.SaveToFile(path);
    EXPECT_EQ(dir.Read("f.pas"), c.after);
  }
}

TEST(LineList, FailedLoadNamesTheFileAndKeepsTheLines) {
  test_support::TempDir dir;
  LineList list;
  list.Add("kept");
  const auto missing = dir.File("missing.pas");
  try {
    list.LoadFromFile(missing);
    FAIL() << "loaded a missing file";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
  }
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Get(0), "kept");
}

TEST(LineList, FailedSaveNamesTheFile) {
  test_support::TempDir dir;
  LineList list;
  list.Add("x");
  const auto target = dir.File("no/such/folder/f.pas");
  try {
    list.SaveToFile(target);
    FAIL() << "saved into a missing folder";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + target);
  }
}

}  // namespace
}  // namespace bgconv
