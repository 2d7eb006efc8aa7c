#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;
using test_support::RunProgram;

// 國們 in Big5, and in GB2312.
const std::string kBig5 = "unit Unit1; // \xB0\xEA\xAD\xCC\r\n";
const std::string kGb = "unit Unit1; // \xB9\xFA\xC3\xC7\r\n";

TEST(CliExternalPass, ConvertsTheWorkFolderAndCopiesTheFilesBack) {
  test_support::TempDir dir;
  const std::string work = dir.File("work") + "/";
  dir.Write("work/.bgconv-work-folder", "");  // a work folder bgconv made
  dir.Write("work/Unit1.pas", kBig5);
  dir.Write("work/Unit2.pas", kBig5);
  const auto unit1 = dir.Write("project/Unit1.pas", "moved away");
  const auto result =
      RunProgram("bgconv", {"external-pass", "--to", "gb", "--parameter", "/f:d", "--work-folder", work, unit1});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(dir.Read("project/Unit1.pas"), kGb);
  EXPECT_FALSE(fs::exists(work + "Unit1.pas"));
  EXPECT_FALSE(fs::exists(work + "Unit2.pas")) << "a work folder bgconv made is emptied after the pass";
  const std::string command = test_support::ProgramPath("ConCmd/ConCmd") + " /o:gbk /f:d " + work + "*.*";
  EXPECT_EQ(result.out, "Converted " + work + "Unit1.pas\nConverted " + work + "Unit2.pas\n\n" + command +
                            " returned 0\nCopy back " + work + "Unit1.pas -> " + unit1 + "\n");
  EXPECT_EQ(result.err, "");
}

TEST(CliExternalPass, AFileTheWorkFolderLacksIsLeftAsItWasAndFailsTheCommand) {
  test_support::TempDir dir;
  const std::string work = dir.File("work") + "/";
  fs::create_directories(work);
  const auto unit = dir.Write("project/Unit9.pas", kBig5);
  const auto result = RunProgram("bgconv", {"external-pass", "--to=big5", "--parameter=", "--work-folder", work, unit});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: " + unit + " left as it was: the work folder has no Unit9.pas\n");
  EXPECT_EQ(dir.Read("project/Unit9.pas"), kBig5);
}

TEST(CliExternalPass, AMissingConverterIsNamedAndNothingMoves) {
  test_support::TempDir dir;
  const auto program = dir.File("bin/bgconv");
  fs::create_directories(dir.path() / "bin");
  fs::copy_file(test_support::ProgramPath("bgconv"), program);
  dir.Write("work/.bgconv-work-folder", "");
  dir.Write("work/Unit1.pas", kBig5);
  const auto unit = dir.Write("project/Unit1.pas", "old");
  const auto result = test_support::RunProgramAt(
      program, {"external-pass", "--to", "gb", "--parameter", "", "--work-folder", dir.File("work"), unit});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "bgconv: " + dir.File("bin/ConCmd/ConCmd") + ": System Error.  Code: 2.\r\nNo such file or directory\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(dir.Read("work/Unit1.pas"), kBig5);
  EXPECT_EQ(dir.Read("project/Unit1.pas"), "old");
}

TEST(CliExternalPass, TheProjectFolderIsNoWorkFolder) {
  test_support::TempDir dir;
  const auto project = dir.Write("p/Sample.dpr", "program Sample;\r\n// " + kBig5);
  const auto result = test_support::RunProgramAt("/bin/sh", {"-c",
                                                             "cd \"$1\" && exec \"$0\" external-pass --to gb "
                                                             "--parameter '' --work-folder p/ p/Sample.dpr",
                                                             test_support::ProgramPath("bgconv"), dir.path().string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "bgconv: Cannot use " + dir.File("p/") + " as the work folder: it is the folder of p/Sample.dpr\n");
  EXPECT_EQ(dir.Read("p/Sample.dpr"), "program Sample;\r\n// " + kBig5);
}

TEST(CliExternalPass, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {"external-pass", "--to", "utf8"},
      {"external-pass", "--work-folder="},
      {"external-pass", "--bogus"},
      {"external-pass", "--to", "gb", "--parameter", "", "--work-folder", "/tmp", "dir/"},
  };
  for (const auto& args : bad) {
    const auto result = RunProgram("bgconv", args);
    EXPECT_EQ(result.exit_code, 2) << args.back();
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
  const auto help = RunProgram("bgconv", {"external-pass", "--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--work-folder DIR"), std::string::npos);
}

}  // namespace
}  // namespace bgconv
