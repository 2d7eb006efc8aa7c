#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using test_support::RunProgramAt;

// A copy of bgconv in a folder of its own, as a user would install it: its
// settings file is the copy's path with ".ini".
std::string Install(const test_support::TempDir& dir) {
  const auto program = dir.File("bgconv");
  fs::copy_file(test_support::ProgramPath("bgconv"), program);
  return program;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

TEST(CliSettings, FirstRunShowsTheDefaults) {
  test_support::TempDir dir;
  const auto program = Install(dir);
  const auto result = RunProgramAt(program, {"settings"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string folder = dir.path().string() + "/";
  const std::string font = "\xE7\xB4\xB0\xE6\x98\x8E\xE9\xAB\x94,9,,0,clWindowText,136";  // 細明體 in UTF-8
  EXPECT_EQ(Lines(result.out), (std::vector<std::string>{
                                   "settings file: " + program + ".ini (not created yet)",
                                   "cpView.FileListFont=" + font,
                                   "cpView.DebugListFont=" + font,
                                   "cpView.memo1Font=" + font,
                                   "cpView.memo2Font=" + font,
                                   "cpOption.DefLan=1",
                                   "cpOption.AddConfigFile=1",
                                   "cpOption.BackUporiginal=0",
                                   "cpOption.ConvertEngine=0",
                                   "cpOption.Overwrite=1",
                                   "cpOption.BackupMould=1",
                                   "cpOption.WorkConvertDir=" + folder + "Conver/",
                                   "cpOption.BackupDir=" + folder + "Backup/",
                                   "cpOption.ChagerCharset=1",
                               }));
  EXPECT_FALSE(fs::exists(program + ".ini")) << "showing writes nothing";

  const auto raw = RunProgramAt(program, {"settings", "--raw"});
  EXPECT_EQ(Lines(raw.out).at(1), "cpView.FileListFont=\xB2\xD3\xA9\xFA\xC5\xE9,9,,0,clWindowText,136") << "as stored";
}

// Installed where its user may not write: the user's own folders, and the
// administrator's bgconv.ini beside the program as the first defaults.
TEST(CliSettings, AnInstalledProgramKeepsItsFilesInTheUsersFolders) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the program as another user";
  test_support::TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::create_directory(dir.File("bin"));
  const auto program = dir.File("bin/bgconv");
  fs::copy_file(test_support::ProgramPath("bgconv"), program);
  dir.Write("bin/bgconv.ini", "[cpOption]\r\nDefLan=0\r\n");
  const std::string home = dir.File("home");
  fs::create_directory(home);
  ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
  const auto result = RunProgramAt("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "env", "-i",
                                                        "HOME=" + home, program, "settings"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto lines = Lines(result.out);
  EXPECT_EQ(lines.at(0), "settings file: " + home +
                             "/.config/bgconv/bgconv.ini (not created yet; the values are those of " +
                             dir.File("bin/bgconv.ini") + ")");
  EXPECT_EQ(lines.at(5), "cpOption.DefLan=0");
  EXPECT_EQ(lines.at(11), "cpOption.WorkConvertDir=" + home + "/.cache/bgconv/Conver/");
  EXPECT_EQ(lines.at(12), "cpOption.BackupDir=" + home + "/.local/share/bgconv/Backup/");
}

TEST(CliSettings, ShowsTheStoredValues) {
  test_support::TempDir dir;
  const auto program = Install(dir);
  dir.Write("bgconv.ini",
            "[cpOption]\r\nDefLan=0\r\nConvertEngine=1\r\nWorkConvertDir=/w\r\n"
            "[cpEng]\r\nFilePath=/opt/ConCmd.exe\r\nNotVocabulary=1\r\nParameter=/f:d\r\n");
  const auto result = RunProgramAt(program, {"settings"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 17u) << result.out;
  EXPECT_EQ(lines[0], "settings file: " + program + ".ini");
  EXPECT_EQ(lines[5], "cpOption.DefLan=0");
  EXPECT_EQ(lines[11], "cpOption.WorkConvertDir=/w/");
  EXPECT_EQ(lines[14], "cpEng.FilePath=/opt/ConCmd.exe");
  EXPECT_EQ(lines[15], "cpEng.NotVocabulary=1");
  EXPECT_EQ(lines[16], "cpEng.Parameter=/f:d");
}

TEST(CliSettings, FileOptionAndFailures) {
  test_support::TempDir dir;
  const auto program = Install(dir);
  const auto other = dir.Write("other.ini", "[cpOption]\nOverwrite=0\n");
  auto result = RunProgramAt(program, {"settings", "--file", other});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(Lines(result.out).at(0), "settings file: " + other);
  EXPECT_NE(result.out.find("\ncpOption.Overwrite=0\n"), std::string::npos);

  fs::create_directory(dir.File("folder.ini"));
  result = RunProgramAt(program, {"settings", "--file=" + dir.File("folder.ini")});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + dir.File("folder.ini") + "\n");

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"settings", "extra"}, {"settings", "--file"}, {"settings", "--bogus"}}) {
    result = RunProgramAt(program, args);
    EXPECT_EQ(result.exit_code, 2) << args.back();
    EXPECT_TRUE(result.out.empty());
  }
}

}  // namespace
}  // namespace bgconv
