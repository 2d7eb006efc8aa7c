#include <gtest/gtest.h>

#include "support/form_stream_writer.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using test_support::RunProgram;

std::string CaptionForm() {
  test_support::FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").Property("Caption").WideString(u"\u4F60\u597D").End().End();
  return test_support::BinaryFormFile(stream);
}

TEST(CliForm, FoldsIntoTheChosenCodePage) {
  test_support::TempDir dir;
  const auto path = dir.Write("Unit1.dfm", CaptionForm());
  auto result = RunProgram("bgconv", {"form", path});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "object Form1: TForm1\r\n  Caption = '\xA7\x41\xA6\x6E'\r\nend\r\n");
  result = RunProgram("bgconv", {"form", "--acp=936", path});
  EXPECT_EQ(result.out, "object Form1: TForm1\r\n  Caption = '\xC4\xE3\xBA\xC3'\r\nend\r\n");
  result = RunProgram("bgconv", {"form", "--raw", path});
  EXPECT_EQ(result.out, "object Form1: TForm1\r\n  Caption = #20320#22909\r\nend\r\n");
  EXPECT_TRUE(result.err.empty());
}

TEST(CliForm, RawGivesATextFormBackByteForByte) {
  test_support::TempDir dir;
  const std::string text = "object A: TA\n  B = #20320\rend";
  const auto path = dir.Write("a.dfm", text);
  EXPECT_EQ(RunProgram("bgconv", {"form", "--raw", path}).out, text);
}

TEST(CliForm, AFailingFileIsNamedAndTheOthersStillWritten) {
  test_support::TempDir dir;
  const auto good = dir.Write("good.dfm", "object A: TA\nend\n");
  const auto bad = dir.Write("bad.dfm", "\nobject A: TA\n");
  const auto result = RunProgram("bgconv", {"form", bad, good});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "object A: TA\r\nend\r\n");
  EXPECT_EQ(result.err,
            "bgconv: debug: Invalid stream format  " + bad + "\nbgconv: " + bad + ": Invalid stream format\n");
  const auto raw = RunProgram("bgconv", {"form", "--raw", dir.File("none.dfm")});
  EXPECT_EQ(raw.exit_code, 1);
  EXPECT_EQ(raw.err, "bgconv: " + dir.File("none.dfm") + ": Cannot open file " + dir.File("none.dfm") + "\n");
}

// A large text form is read, folded and converted holding about twice its
// size, not a dozen times.
TEST(CliForm, ALargeTextFormTakesASmallMultipleOfItsSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory hides the program's";
#endif
  test_support::TempDir dir;
  std::string form = "object Form1: TForm1\r\n";
  while (form.size() < (std::size_t{16} << 20))
    form += "  object Label1: TLabel\r\n    Caption = #20320#22909'abc'\r\n    Hint = '\xA7\x41'\r\n  end\r\n";
  form += "end\r\n";
  const long form_kb = static_cast<long>(form.size() / 1024);
  const auto path = dir.Write("Big.dfm", form);
  dir.Write("Big.pas", "unit Big;\r\nend.\r\n");
  const auto project = dir.Write("P.dpr", "program P;\r\nuses\r\n  Big in 'Big.pas' {Form1};\r\nbegin\r\nend.\r\n");
  const auto settings = dir.Write("empty.ini", "");
  const long baseline_kb =
      RunProgram("bgconv", {"form", dir.Write("Small.dfm", "object A: TA\r\nend\r\n")}).peak_rss_kb;

  const std::vector<std::string> commands[] = {{"form", path},
                                               {"convert", "--to", "gb", "--quiet", "--settings", settings, project}};
  for (const auto& args : commands) {
    const auto result = RunProgram("bgconv", args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_LT(result.peak_rss_kb - baseline_kb, 3 * form_kb) << args[0];
  }
}

TEST(CliForm, UsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {"form"},
      {"form", "--acp", "1252", "a.dfm"},
      {"form", "--acp"},
      {"form", "--bogus", "a.dfm"},
  };
  for (const auto& args : bad) {
    const auto result = RunProgram("bgconv", args);
    EXPECT_EQ(result.exit_code, 2) << args.back();
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  }
  const auto help = RunProgram("bgconv", {"form", "--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--acp 950|936"), std::string::npos);
}

}  // namespace
}  // namespace bgconv
