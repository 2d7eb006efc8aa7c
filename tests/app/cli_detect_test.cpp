#include <gtest/gtest.h>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using test_support::RunProgram;

TEST(CliDetect, OneLinePerFileAndAnUnreadableFileNamedAtTheEnd) {
  test_support::TempDir dir;
  const auto big5 = dir.Write("Unit1.pas", "// \xB6}\xB1\xD2\xC0\xC9\xAE\xD7\r\n");   // 開啟檔案
  const auto gb = dir.Write("Unit2.pas", "// \xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\r\n");  // 打开文件
  const auto ascii = dir.Write("Project1.dpr", "program Project1;\r\n");
  const auto missing = dir.File("Gone.pas");
  const auto result = RunProgram("bgconv", {"detect", big5, missing, gb, ascii});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, big5 + ": Big5 (confidence 1.000, 4 hanzi)\n" + gb + ": GB2312 (confidence 1.000, 4 hanzi)\n" +
                            ascii + ": ASCII (confidence 1.000, 0 hanzi)\n");
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + missing + "\n");
}

TEST(CliDetect, HelpAndUsage) {
  auto result = RunProgram("bgconv", {"detect", "--help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("FILE: CLASS (confidence C, N hanzi)"), std::string::npos);
  result = RunProgram("bgconv", {"detect"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "bgconv detect: takes at least one FILE (see 'bgconv detect --help')\n");
}

}  // namespace
}  // namespace bgconv
