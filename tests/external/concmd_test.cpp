#include "concmd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "codec/converter.h"
#include "platform/errors.h"
#include "settings/concmd_ini.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv::concmd {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// 头发 (hair) and 国们 in GB2312: 发 is 發 or 髮 in Big5, by the word.
const std::string kGb = "// \xCD\xB7\xB7\xA2 \xB9\xFA\xC3\xC7\r\n";
const std::string kBig5Words = "// \xC0\x59\xBE\x76 \xB0\xEA\xAD\xCC\r\n";       // 頭髮 國們
const std::string kBig5Characters = "// \xC0\x59\xB5\x6F \xB0\xEA\xAD\xCC\r\n";  // 頭發 國們

Lines SplitCrLf(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "every line ends in CR LF: " << text;
  return lines;
}

TEST(MatchesPattern, WildcardsWithoutRegardToCase) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"Unit1.pas", "*.*", true},       {"Makefile", "*.*", true},      {".bgconv-work-folder", "*", true},
      {"Unit1", "Unit1.*", true},       {"Unit1.dfm", "Unit1.*", true}, {"Unit2.dfm", "Unit1.*", false},
      {"UNIT1.PAS", "unit1.pas", true}, {"a.pas", "*.dfm", false},      {"book.XLS", "*.xl?", true},
      {"book.xl", "*.xl?", false},      {"abcabd", "*abd", true},       {"abcab", "*abd", false},
      {"a.b.c", "*.c", true},           {"Form1.dfm", "F*1.d?m", true}, {"x.html", "*.htm*", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(MatchesAnyPattern, CommaSeparatedListsAsConCmdIniHoldsThem) {
  EXPECT_TRUE(MatchesAnyPattern("Setup.EXE", kDefaultIgnoreMasks));
  EXPECT_TRUE(MatchesAnyPattern("data.xls", kDefaultIgnoreMasks));
  EXPECT_FALSE(MatchesAnyPattern("Unit1.pas", kDefaultIgnoreMasks));
  EXPECT_FALSE(MatchesAnyPattern("Form1.dfm", kDefaultIgnoreMasks));
  EXPECT_TRUE(MatchesAnyPattern("Unit1.dcu", " *.res , *.dcu "));
  EXPECT_FALSE(MatchesAnyPattern("Unit1.pas", ",, ,"));
}

TEST(ParseArguments, SwitchesInAnyOrderAndCase) {
  const struct {
    Lines args;
    Direction direction;
    bool vocabulary;
    std::string mask;
  } cases[] = {
      {{"/o:gbk", "/w/*.*"}, Direction::kBigToGb, true, "/w/*.*"},
      {{"/O:BIG5", "/F:D", "w/*.pas"}, Direction::kGbToBig, false, "w/*.pas"},
      {{"/w/*.*", "/f:d", "/o:gbk"}, Direction::kBigToGb, false, "/w/*.*"},
  };
  for (const auto& c : cases) {
    const Request request = ParseArguments(c.args);
    EXPECT_EQ(request.direction, c.direction);
    EXPECT_EQ(request.vocabulary, c.vocabulary);
    EXPECT_EQ(request.mask, c.mask);
  }
  const Lines bad[] = {{}, {"/w/*.*"}, {"/o:gbk"}, {"/o:utf8", "w"}, {"/o:gbk", "/x:y", "w"}, {"/o:gbk", "a", "b"}};
  for (const auto& args : bad) EXPECT_THROW(ParseArguments(args), Exception) << args.size();
}

// The converter installed in a folder of its own, with its ConCmd.ini.
struct Installed {
  test_support::TempDir dir;
  std::string program = dir.File("ConCmd/ConCmd");
  std::string work = dir.File("work") + "/";

  Installed() {
    fs::create_directories(dir.path() / "ConCmd");
    fs::create_directories(work);
    fs::copy_file(test_support::ProgramPath("ConCmd/ConCmd"), program);
    ConCmdOptions options;
    options.ignore_masks = "*.res,*.dcu";
    SaveConCmdIni(dir.File("ConCmd/ConCmd.ini"), options);
  }
  test_support::ProgramResult Start(const Lines& args) const { return test_support::RunProgramAt(program, args); }
};

TEST(ConCmdProgram, ConvertsEveryMatchedFileInPlaceAndSkipsIgnoredOnes) {
  Installed concmd;
  const auto& dir = concmd.dir;
  dir.Write("work/Unit1.pas", kGb);
  dir.Write("work/Form1.dfm", "object Form1: TForm1\r\n  Caption = '" + kGb.substr(3, 8) + "'\r\nend\r\n");
  dir.Write("work/Project1.res", kGb);
  dir.Write("work/sub/Unit2.pas", kGb);
  dir.Write("work/.bgconv-work-folder", kGb);
  const auto elsewhere = dir.Write("elsewhere.pas", kGb);
  fs::create_symlink(elsewhere, dir.File("work/Link.pas"));
  const auto result = concmd.Start({"/o:big5", "/f:d", concmd.work + "*.*"});
  EXPECT_EQ(result.exit_code, kExitConverted) << result.out;
  EXPECT_EQ(SplitCrLf(result.out),
            (Lines{"Converted " + concmd.work + "Form1.dfm", "Ignored " + concmd.work + "Project1.res",
                   "Converted " + concmd.work + "Unit1.pas"}));
  EXPECT_EQ(dir.Read("work/Unit1.pas"), GbToBig5(kGb));
  EXPECT_EQ(dir.Read("work/Form1.dfm"),
            GbToBig5("object Form1: TForm1\r\n  Caption = '" + kGb.substr(3, 8) + "'\r\nend\r\n"));
  EXPECT_EQ(dir.Read("work/Project1.res"), kGb);
  EXPECT_EQ(dir.Read("work/sub/Unit2.pas"), kGb) << "no descent into folders";
  EXPECT_EQ(dir.Read("work/.bgconv-work-folder"), kGb) << "hidden files only by name";
  EXPECT_EQ(dir.Read("elsewhere.pas"), kGb) << "a link is not followed";
}

TEST(ConCmdProgram, VocabularyModeChoosesTheCharacterByTheWord) {
  Installed concmd;
  concmd.dir.Write("work/words.pas", kGb);
  concmd.dir.Write("work/characters.pas", kGb);
  auto result = concmd.Start({"/o:big5", concmd.work + "words.pas"});
  EXPECT_EQ(result.exit_code, kExitConverted) << result.out;
  result = concmd.Start({"/o:big5", "/f:d", concmd.work + "characters.pas"});
  EXPECT_EQ(result.exit_code, kExitConverted) << result.out;
  EXPECT_EQ(concmd.dir.Read("work/words.pas"), kBig5Words);
  EXPECT_EQ(concmd.dir.Read("work/characters.pas"), kBig5Characters);

  // And back: both spellings of 头发 become the same GB2312.
  result = concmd.Start({"/o:gbk", concmd.work + "*.pas"});
  EXPECT_EQ(result.exit_code, kExitConverted) << result.out;
  EXPECT_EQ(concmd.dir.Read("work/words.pas"), kGb);
  EXPECT_EQ(concmd.dir.Read("work/characters.pas"), kGb);
}

TEST(ConCmdProgram, AFileThatCannotBeReadFailsAloneAndTheExitCodeSaysSo) {
  Installed concmd;
  concmd.dir.Write("work/a.pas", kGb);
  const auto locked = concmd.dir.Write("work/b.pas", kGb);
  concmd.dir.Write("work/c.pas", kGb);
  const int fd = ::open(locked.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const auto result = concmd.Start({"/o:big5", "/f:d", concmd.work + "*.pas"});
  ::close(fd);
  EXPECT_EQ(result.exit_code, kExitFileFailed);
  EXPECT_EQ(SplitCrLf(result.out), (Lines{"Converted " + concmd.work + "a.pas", "Error: Cannot open file " + locked,
                                          "Converted " + concmd.work + "c.pas"}));
  EXPECT_EQ(concmd.dir.Read("work/b.pas"), kGb);
  EXPECT_EQ(concmd.dir.Read("work/c.pas"), GbToBig5(kGb));
}

TEST(ConCmdProgram, AFileTooLargeForMemoryFailsAloneNamed) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers reserve more address space than the limit leaves";
#endif
  Installed concmd;
  const auto huge = concmd.dir.Write("work/a.pas", "");
  fs::resize_file(huge, std::uintmax_t{4} << 30);  // sparse
  concmd.dir.Write("work/b.pas", kGb);
  const auto result = test_support::RunProgramAt("/bin/sh", {"-c", "ulimit -v 400000; exec \"$0\" \"$@\"",
                                                             concmd.program, "/o:big5", "/f:d", concmd.work + "*.pas"});
  EXPECT_EQ(result.exit_code, kExitFileFailed);
  EXPECT_EQ(SplitCrLf(result.out),
            (Lines{"Error: " + huge + ": not enough memory", "Converted " + concmd.work + "b.pas"}));
  EXPECT_EQ(concmd.dir.Read("work/b.pas"), GbToBig5(kGb));
}

TEST(ConCmdProgram, BadCommandLinesAndMissingFoldersChangeNothing) {
  Installed concmd;
  concmd.dir.Write("work/a.pas", kGb);
  const Lines bad[] = {{}, {"/o:gbk"}, {"/o:latin1", concmd.work + "*.*"}, {"/f:d", concmd.work + "*.*"}};
  for (const auto& args : bad) {
    const auto result = concmd.Start(args);
    EXPECT_EQ(result.exit_code, kExitUsage);
    EXPECT_EQ(result.out.rfind("Error: ", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("Usage: ConCmd"), std::string::npos);
  }
  const auto result = concmd.Start({"/o:gbk", concmd.dir.File("nowhere/*.*")});
  EXPECT_EQ(result.exit_code, kExitUsage);
  EXPECT_EQ(SplitCrLf(result.out),
            Lines{"Error: Cannot read the folder " + concmd.dir.File("nowhere/") + ": No such file or directory"});
  EXPECT_EQ(concmd.dir.Read("work/a.pas"), kGb);
}

TEST(ConCmdProgram, AMaskThatMatchesNothingOrNamesAFolder) {
  Installed concmd;
  concmd.dir.Write("work/a.pas", kGb);
  auto result = concmd.Start({"/o:big5", concmd.work + "*.dfm"});
  EXPECT_EQ(result.exit_code, kExitConverted);
  EXPECT_EQ(SplitCrLf(result.out), Lines{"No file matches " + concmd.work + "*.dfm"});
  result = concmd.Start({"/o:big5", "/f:d", concmd.dir.File("work")});
  EXPECT_EQ(SplitCrLf(result.out), Lines{"Converted " + concmd.work + "a.pas"});
  EXPECT_EQ(concmd.dir.Read("work/a.pas"), GbToBig5(kGb));
}

}  // namespace
}  // namespace bgconv::concmd
