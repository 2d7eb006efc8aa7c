#include "external/external_engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "codec/converter.h"
#include "platform/errors.h"
#include "platform/purge.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

// 國們 in Big5, and in GB2312.
const std::string kBig5 = "unit Unit1; // \xB0\xEA\xAD\xCC\r\n";
const std::string kGb = "unit Unit1; // \xB9\xFA\xC3\xC7\r\n";

// The log list of a window, as the pass sees it.
class RecordingReporter final : public ExternalPassReporter {
 public:
  void Log(std::string_view row) override { log.emplace_back(row); }
  void ReplaceLastLog(std::string_view row) override {
    ASSERT_FALSE(log.empty());
    log.back() = row;
    ++replaced;
  }
  void SelectLastLog() override { selected = static_cast<int>(log.size()) - 1; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void Repaint() override { ++repaints; }

  Rows log;
  Rows messages;
  int selected = -1;
  int replaced = 0;
  int repaints = 0;
};

std::string Script(const test_support::TempDir& dir, const std::string& name, const std::string& body) {
  const auto path = dir.Write(name, "#!/bin/sh\n" + body + "\n");
  ::chmod(path.c_str(), 0755);
  return path;
}

// A project with two units of the same name in different folders, moved into
// the work folder under names of their own, as the conversion run does.
struct Project {
  test_support::TempDir dir;
  std::string work = dir.path().string() + "/work/";
  ExternalPassInputs inputs;

  explicit Project(const std::string& program) {
    CreateWorkFolder(work);
    dir.Write("work/1-Unit1.pas", kBig5);
    dir.Write("work/2-Unit1.pas", kBig5 + "// second\r\n");
    inputs.program = program;
    inputs.direction = Direction::kBigToGb;
    inputs.work_folder = work;
    inputs.rows = {{"1-Unit1.pas", dir.File("a/Unit1.pas")}, {"2-Unit1.pas", dir.File("b/Unit1.pas")}};
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
  }
  std::string Mask() const { return work + "*.*"; }
};

TEST(ConCmdCommandLine, ProgramSwitchesParameterAndMask) {
  const struct {
    std::string program;
    Direction direction;
    std::string parameter;
    std::string mask;
    std::string line;
  } cases[] = {
      {"/p/ConCmd/ConCmd", Direction::kGbToBig, "", "/w/*.*", "/p/ConCmd/ConCmd /o:big5 /w/*.*"},
      {"/p/ConCmd/ConCmd", Direction::kBigToGb, "/f:d", "/w/*.*", "/p/ConCmd/ConCmd /o:gbk /f:d /w/*.*"},
      {"/my tools/ConCmd/ConCmd", Direction::kBigToGb, "", "/my work/*.*",
       "\"/my tools/ConCmd/ConCmd\" /o:gbk \"/my work/*.*\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConCmdCommandLine(c.program, c.direction, c.parameter, c.mask), c.line);
  }
  EXPECT_EQ(ConCmdProgramPath("/opt/bgconv/"), "/opt/bgconv/ConCmd/ConCmd");
}

TEST(RunExternalEngine, ConvertsTheWorkFolderAndCopiesEveryRowBack) {
  Project project(test_support::ProgramPath("ConCmd/ConCmd"));
  project.inputs.engine_parameter = "/f:d";
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);

  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kCopied, CopyBack::kCopied}));
  EXPECT_EQ(project.dir.Read("a/Unit1.pas"), kGb);
  EXPECT_EQ(project.dir.Read("b/Unit1.pas"), kGb + "// second\r\n");
  EXPECT_FALSE(fs::exists(project.work + "1-Unit1.pas"));
  EXPECT_FALSE(fs::exists(project.work + "2-Unit1.pas"));

  const std::string line = test_support::ProgramPath("ConCmd/ConCmd") + " /o:gbk /f:d " + project.Mask();
  EXPECT_EQ(result.command_line, line);
  EXPECT_EQ(reporter.log, (Rows{"Converted " + project.work + "1-Unit1.pas",
                                "Converted " + project.work + "2-Unit1.pas", "", line + " returned 0",
                                "Copy back " + project.work + "1-Unit1.pas -> " + project.dir.File("a/Unit1.pas"),
                                "Copy back " + project.work + "2-Unit1.pas -> " + project.dir.File("b/Unit1.pas")}));
  EXPECT_EQ(reporter.selected, 3);
  EXPECT_GE(reporter.repaints, 3);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST(RunExternalEngine, ProgressRedrawnWithCarriageReturnsStaysOneLogRow) {
  test_support::TempDir tools;
  Project project(Script(tools, "progress", "printf 'start\\r\\n10%%\\r20%%\\r30%%\\r\\n'; exit 7"));
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(result.exit_code, 7);
  EXPECT_EQ(Rows(reporter.log.begin(), reporter.log.begin() + 4),
            (Rows{"start", "30%", "", result.command_line + " returned 7"}));
  EXPECT_EQ(reporter.replaced, 2);
  EXPECT_EQ(reporter.selected, 3);
}

TEST(RunExternalEngine, AConverterThatConvertsNothingStillGetsEveryFileBackUnchanged) {
  test_support::TempDir tools;
  Project project(Script(tools, "idle", "printf 'nothing to do\\r\\n'; exit 1"));
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kCopied, CopyBack::kCopied}));
  EXPECT_EQ(project.dir.Read("a/Unit1.pas"), kBig5);
  EXPECT_EQ(project.dir.Read("b/Unit1.pas"), kBig5 + "// second\r\n");
}

TEST(RunExternalEngine, FilesTheConverterDeletedAreReportedAndTheirPathsLeftAlone) {
  test_support::TempDir tools;
  Project project(Script(tools, "deleter", "rm -f \"$(dirname \"$2\")/1-Unit1.pas\"; exit 0"));
  project.dir.Write("a/Unit1.pas", "what the path held");
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kMissing, CopyBack::kCopied}));
  EXPECT_EQ(project.dir.Read("a/Unit1.pas"), "what the path held");
  EXPECT_EQ(project.dir.Read("b/Unit1.pas"), kBig5 + "// second\r\n");
  EXPECT_TRUE(reporter.messages.empty()) << "a missing work copy is no message box";
}

TEST(RunExternalEngine, AConverterThatCannotStartLeavesEveryFileInTheWorkFolder) {
  test_support::TempDir tools;
  Project project(tools.File("ConCmd/ConCmd"));
  RecordingReporter reporter;
  try {
    RunExternalEngine(project.inputs, reporter);
    FAIL() << "a missing converter started";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), 2);
    EXPECT_EQ(std::string(error.what()),
              tools.File("ConCmd/ConCmd") + ": System Error.  Code: 2.\r\nNo such file or directory");
  }
  EXPECT_TRUE(reporter.log.empty());
  EXPECT_EQ(project.dir.Read("work/1-Unit1.pas"), kBig5);
  EXPECT_EQ(project.dir.Read("work/2-Unit1.pas"), kBig5 + "// second\r\n");
  EXPECT_FALSE(fs::exists(project.dir.File("a/Unit1.pas")));
}

TEST(RunExternalEngine, ARowThatCannotBeWrittenKeepsItsWorkCopyAndTheNextRowFollows) {
  test_support::TempDir tools;
  Project project(Script(tools, "ok", "exit 0"));
  project.inputs.rows[0].path = project.dir.File("gone/Unit1.pas");  // a folder that no longer exists
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kFailed, CopyBack::kCopied}));
  EXPECT_EQ(reporter.messages, Rows{"Cannot create file " + project.dir.File("gone/Unit1.pas")});
  EXPECT_EQ(project.dir.Read("b/Unit1.pas"), kBig5 + "// second\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(project.work), fs::directory_iterator()), 1)
      << "the work folder this program made is emptied after the pass; its marker stays";
}

TEST(RunExternalEngine, RowsSharingAWorkNameGetTheFileOnce) {
  test_support::TempDir tools;
  Project project(Script(tools, "ok", "exit 0"));
  project.inputs.rows[1].work_name = "1-Unit1.pas";
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kCopied, CopyBack::kMissing}));
  EXPECT_EQ(project.dir.Read("a/Unit1.pas"), kBig5);
  EXPECT_FALSE(fs::exists(project.dir.File("b/Unit1.pas")));
}

TEST(RunExternalEngine, AWorkFolderWithABlankInItsName) {
  test_support::TempDir tools;
  const auto lister =
      Script(tools, "lister", "for f in \"$(dirname \"$2\")\"/*; do printf '%s\\r\\n' \"${f##*/}\"; done");
  Project project(lister);
  fs::rename(project.work, project.dir.path() / "work folder");
  project.work = project.dir.path().string() + "/work folder/";
  project.inputs.work_folder = project.dir.path().string() + "/work folder/";
  RecordingReporter reporter;
  const auto result = RunExternalEngine(project.inputs, reporter);
  EXPECT_EQ(Rows(reporter.log.begin(), reporter.log.begin() + 4),
            (Rows{"1-Unit1.pas", "2-Unit1.pas", "", result.command_line + " returned 0"}));
  EXPECT_EQ(result.rows, (std::vector<CopyBack>{CopyBack::kCopied, CopyBack::kCopied}));
}

}  // namespace
}  // namespace bgconv
