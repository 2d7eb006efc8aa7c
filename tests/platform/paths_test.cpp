#include "platform/paths.h"

#include <gtest/gtest.h>

namespace bgconv {
namespace {

TEST(Paths, TrailingSeparatorRespectsDoubleByteCharacters) {
  struct Case {
    std::string path;
    std::string expected;
  };
  // 功 is A5 5C in Big5: its trail byte has the value of "\".
  const Case cases[] = {
      {"C:\\", "C:\\"},
      {"C:\\Work", "C:\\Work\\"},
      {"", "\\"},
      {"C:\\\xA5\x5C", "C:\\\xA5\x5C\\"},
      {"C:\\\xA5\x5C\\", "C:\\\xA5\x5C\\"},
      {"\xA5\x5C\xA5\x5C", "\xA5\x5C\xA5\x5C\\"},
      {"a\\\\", "a\\\\"},
      {"\xA5", "\xA5\\"},        // a lone lead byte
      {"\xA5\\\\", "\xA5\\\\"},  // the pair A5 5C, then a backslash of its own
  };
  for (const auto& c : cases) EXPECT_EQ(EnsureTrailingSeparator(c.path, '\\'), c.expected) << c.path;

  EXPECT_EQ(EnsureTrailingBackslash("/tmp/work"), "/tmp/work/");
  EXPECT_EQ(EnsureTrailingBackslash("/"), "/");
}

TEST(Paths, ChangeFileExt) {
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"/usr/bin/bgconv", "/usr/bin/bgconv.ini"},
      {"/opt/bgconv.exe", "/opt/bgconv.ini"},
      {"/opt/v1.2/bgconv", "/opt/v1.2/bgconv.ini"},
      {"/opt/.bgconv", "/opt/.bgconv.ini"},
      {"a.b.c", "a.b.ini"},
      {"bgconv", "bgconv.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c.path, ".ini"), c.expected) << c.path;
}

TEST(Paths, ExecutablePathNamesThisProgram) {
  const std::string path = ExecutablePath();
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "platform_tests");
  EXPECT_EQ(ExecutableFolder(), path.substr(0, path.rfind('/') + 1));
}

}  // namespace
}  // namespace bgconv
