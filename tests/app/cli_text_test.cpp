#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
  const std::vector<std::string> commands[] = {{"form"}, {"form", "--raw"}, {"list"}, {"settings", "--file"}};
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

TEST(CliText, OutputFileIsReplacedOnlyByAWholeConversion) {
  test_support::TempDir dir;
  const auto input = dir.Write("form.txt", kBig5);
  const auto output = dir.Write("out.txt", "old");
  auto result = RunProgram("bgconv", {"text", "--to", "gb", dir.File("gone.txt"), "-o", output});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(dir.Read("out.txt"), "old");
  result = RunProgram("bgconv", {"text", "--to", "gb", input, "--output=" + output});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(dir.Read("out.txt"), kGb);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")), std::filesystem::directory_iterator()), 2)
      << "no temporary file is left";
}

TEST(CliText, InPlaceConvertsEveryFileAndNamesTheOnesItCannot) {
  test_support::TempDir dir;
  const auto first = dir.Write("a.pas", kBig5);
  const auto second = dir.Write("b.pas", kBig5);
  const auto missing = dir.File("gone.pas");
  const auto result = RunProgram("bgconv", {"text", "--to", "gb", "--in-place", first, missing, second});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + missing + "\n");
  EXPECT_EQ(dir.Read("a.pas"), kGb);
  EXPECT_EQ(dir.Read("b.pas"), kGb);
}

// The text goes through in blocks: 100 MB of address space (of which the
// program and its libraries take half) suffice for a 64 MB input.
TEST(CliText, MemoryStaysBoundedWhateverTheInputSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' shadow memory counts too";
#endif
  test_support::TempDir dir;
  const std::string input = dir.File("big.txt");
  std::uintmax_t size = 0;
  {
    std::string piece;
    while (piece.size() < (std::size_t{1} << 20)) piece += kBig5;
    std::ofstream out(input, std::ios::binary);
    for (int i = 0; i < 64; ++i, size += piece.size()) out << piece;
  }
  const auto result = test_support::RunProgramAt(
      "/bin/sh", {"-c", "ulimit -v 100000; exec \"$0\" \"$@\"", test_support::ProgramPath("bgconv"), "text", "--to",
                  "gb", "--fix-charset", input, "-o", dir.File("out.txt")});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  // Each GB2312_CHARSET is five bytes shorter than the CHINESEBIG5_CHARSET it replaces.
  EXPECT_EQ(std::filesystem::file_size(dir.File("out.txt")), size - size / kBig5.size() * 5);
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
