// Projects as they come from Taiwan and the mainland, converted by the
// program as a user runs it, every file checked byte for byte against the
// plain reference converter: LF-only files, Latin-1 comments, UTF-8 text
// inside a Big5 form, a compiled resource named by {$R 'App.res' 'App.rc'},
// units in ..\Common\, a unit named BatchSend, GBK characters, units with
// one or two hanzi, and three thousand of them; and run in the wrong
// direction first and a second time after, which must change nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "codec/charset_names.h"
#include "codec/converter.h"
#include "platform/line_form.h"
#include "support/literal_converter.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

constexpr int kUnits = 3000;

// Hanzi in Big5 (國們中文字體) and a UTF-8 caption (中文).
const std::string kBig5[] = {"\xB0\xEA", "\xAD\xCC", "\xA4\xA4", "\xA4\xE5", "\xA6\x72", "\xC5\xE9"};
const std::string kUtf8Caption = "\xE4\xB8\xAD\xE6\x96\x87";

struct Project {
  test_support::TempDir dir;
  std::map<std::string, std::string> files;  // path below the folder -> bytes

  void Write(const std::string& name, const std::string& bytes) {
    files[name] = bytes;
    dir.Write(name, bytes);
  }
};

void MakeTaiwaneseProject(Project& project) {
  std::string uses =
      "uses\n  Forms,\n  Main in 'Main.pas' {MainForm},\n  BatchSend in 'BatchSend.pas',\n"
      "  Tools in '..\\Common\\Tools.pas',\n";
  for (int i = 0; i < kUnits; ++i) {
    const std::string name = "U" + std::to_string(i);
    uses += "  " + name + " in 'Units\\" + name + ".pas',\n";
    // One or two hanzi, LF line ends, no final line break.
    project.Write("P/Units/" + name + ".pas",
                  "unit " + name + ";\n// " + kBig5[i % 6] + (i % 2 ? kBig5[(i + 1) % 6] : "") + "\nend.");
  }
  project.Write("P/Demo.dpr", "program Demo;\n\n" + uses +
                                  "  Last;\n{$R 'App.res' 'App.rc'}\n{$R *.res}\n\nbegin\n"
                                  "  Application.Run;\nend.\n");
  project.Write("P/App.res", std::string("\0\0\0\0\x20\0\0\0\xFF\xFF\0\0\xFF\xFF\0\0", 16));
  project.Write("P/Main.pas", "unit Main;\r\n{ Fran\xE7ois: caf\xE9' }\r\nconst S = '" + kBig5[0] + "';\r\nend.\r\n");
  project.Write("P/Main.dfm", "object MainForm: TMainForm\r\n  Caption = '" + kBig5[2] + kBig5[3] +
                                  "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n  object Memo1: TMemo\r\n"
                                  "    Lines.Strings = (\r\n      '" +
                                  kUtf8Caption + "')\r\n  end\r\nend\r\n");
  project.Write("P/BatchSend.pas", "unit BatchSend;\nend.\n");
  project.Write("Common/Tools.pas", "unit Tools;\n// " + kBig5[4] + kBig5[5] + "\nend.\n");
}

// Runs bgconv convert over the project and checks every file against `files`.
void ExpectAfterRun(const Project& project, const std::map<std::string, std::string>& files,
                    const std::string& direction) {
  const auto result =
      test_support::RunProgram("bgconv", {"convert", "--quiet", "--to", direction, project.dir.File("P/Demo.dpr")});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  for (const auto& [name, bytes] : files) ASSERT_EQ(project.dir.Read(name), bytes) << direction << " " << name;
}

TEST(RealProject, EveryFileComesThroughWhole) {
  Project project;
  MakeTaiwaneseProject(project);
  // The wrong direction leaves every file with hanzi as it is; a file of
  // ASCII text converts, which only puts its lines into CR LF form.
  std::map<std::string, std::string> as_ascii_converts = project.files;
  for (auto& [name, bytes] : as_ascii_converts) {
    const bool ascii = std::none_of(bytes.begin(), bytes.end(), [](char c) { return c < 0; });
    if (ascii && name != "P/App.res") bytes = NormalizeLineBreaks(bytes);
  }
  ExpectAfterRun(project, as_ascii_converts, "big5");
  const auto result =
      test_support::RunProgram("bgconv", {"convert", "--quiet", "--to", "gb", project.dir.File("P/Demo.dpr")});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "bgconv: left as it was, not text: " + project.dir.File("P/App.res") + "\n");

  std::size_t checked = 0;
  std::map<std::string, std::string> converted;
  for (const auto& [name, before] : project.files) {
    std::string expected = LiteralBig5ToGb(before);
    if (name == "P/Main.dfm") {
      // The UTF-8 line among the Big5 ones keeps its bytes.
      const std::size_t utf8 = before.find(kUtf8Caption);
      expected.replace(utf8, kUtf8Caption.size(), kUtf8Caption);
      expected = FixCharsetNames(expected, CodeSet::kGb2312, Direction::kBigToGb, false);
    }
    expected = name == "P/App.res" ? before : NormalizeLineBreaks(expected);
    ASSERT_EQ(project.dir.Read(name), expected) << name;
    converted[name] = expected;
    ++checked;
  }
  ExpectAfterRun(project, converted, "gb");  // a second run
  EXPECT_EQ(checked, kUnits + 6u);
  EXPECT_NE(project.dir.Read("P/Main.pas").find("caf ' }"), std::string::npos)
      << "the quote after a Latin-1 letter stays";

  // The form, UTF-8 line and all, still reads as a form.
  const auto form = test_support::RunProgram("bgconv", {"form", "--raw", project.dir.File("P/Main.dfm")});
  EXPECT_EQ(form.exit_code, 0) << form.err;
}

}  // namespace
}  // namespace bgconv
