#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using test_support::RunProgram;

// 國們 in Big5, and in GB2312.
const std::string kBig5 = "Caption = '\xB0\xEA\xAD\xCC'\r\nFont.Charset = CHINESEBIG5_CHARSET\r\n";
const std::string kGb = "Caption = '\xB9\xFA\xC3\xC7'\r\nFont.Charset = CHINESEBIG5_CHARSET\r\n";

TEST(CliText, ConvertsAFileToStandardOutput) {
  test_support::TempDir dir;
  const auto path = dir.Write("form.txt", kBig5);
  const auto result = RunProgram("bgconv", {"text", "--to", "gb", path});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, kGb);
  EXPECT_EQ(dir.Read("form.txt"), kBig5) << "the input file is not touched";
}

TEST(CliText, ReadsStandardInputAndRewritesCharsets) {
  auto result = RunProgram("bgconv", {"text", "--to=big5", "--fix-charset", "-"}, "x = GB2312_CHARSET\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "x = CHINESEBIG5_CHARSET\n");

  result = RunProgram("bgconv", {"text", "--to", "gb", "--fix-charset", "--change-default-charset"},
                      "a = DEFAULT_CHARSET; b = CHINESEBIG5_CHARSET");
  EXPECT_EQ(result.out, "a = GB2312_CHARSET; b = GB2312_CHARSET");
}

TEST(CliText, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"text"},
      {"text", "--to", "utf8"},
      {"text", "--to", "gb", "--bogus"},
      {"text", "--to", "gb", "a", "b"},
      {"text", "--to"},
      {"frobnicate"},
      {},
  };
  for (const auto& args : bad) {
    const auto result = RunProgram("bgconv", args);
    EXPECT_EQ(result.exit_code, 2) << (args.empty() ? "" : args.back());
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_TRUE(result.out.empty());
  }
}

TEST(CliText, MissingFileExitsOneNamingIt) {
  test_support::TempDir dir;
  const auto missing = dir.File("gone.pas");
  const auto result = RunProgram("bgconv", {"text", "--to", "gb", missing});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + missing + "\n");
}

// With memory short, a file too large to hold is named with the reason: no
// command aborts.
TEST(CliCommands, AFileTooLargeForMemoryIsNamed) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit leaves";
#endif
  test_support::TempDir dir;
  const std::vector<std::string> commands[] = {
      {"text", "--to", "gb"}, {"form"}, {"form", "--raw"}, {"list"}, {"settings", "--file"}};
  for (const auto& command : commands) {
    // A sparse file of 4 GB, named as the command expects its file.
    const std::string path = dir.Write(command[0] == "list" ? "Huge.dpr" : "Huge.dfm", "");
    std::filesystem::resize_file(path, std::uintmax_t{4} << 30);
    std::vector<std::string> args = {"-c", "ulimit -v 400000; exec \"$0\" \"$@\"", test_support::ProgramPath("bgconv")};
    args.insert(args.end(), command.begin(), command.end());
    args.push_back(path);
    const auto result = test_support::RunProgramAt("/bin/sh", args);
    EXPECT_EQ(result.exit_code, 1) << command[0];
    EXPECT_NE(result.err.find(path + ": not enough memory"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("terminate"), std::string::npos) << result.err;
  }
}

TEST(CliText, HelpDescribesTheCommands) {
  auto result = RunProgram("bgconv", {"--help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("text"), std::string::npos);
  result = RunProgram("bgconv", {"text", "--help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("--to gb|big5"), std::string::npos);
}

}  // namespace
}  // namespace bgconv
