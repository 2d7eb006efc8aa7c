#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/errors.h"
#include "platform/paths.h"
#include "support/recording_observer.h"
#include "support/temp_dir.h"
#include "workspace/conversion_run.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using Paths = std::vector<std::string>;

// A program with two units, each with its form file, and both option files;
// the names in the program differ from the files in case and separator.
class WorkspaceTest : public ::testing::Test {
 protected:
  WorkspaceTest() : saved_(fs::current_path()), root_(dir_.path().string() + "/") {
    dir_.Write("Demo.dpr",
               "program Demo;\r\nuses\r\n  Forms,\r\n  Unit1 in 'unit1.pas' {Form1},\r\n"
               "  Unit2 in 'Sub\\Unit2.pas' {Form2};\r\nbegin\r\nend.\r\n");
    dir_.Write("Demo.DOF", "[Compiler]\r\n");
    dir_.Write("Demo.cfg", "-$A+\r\n");
    dir_.Write("Unit1.pas", std::string(1234, 'x'));
    dir_.Write("Unit1.DFM", "object Form1: TForm1\r\nend\r\n");
    dir_.Write("Sub/Unit2.pas", "unit Unit2;\r\n");
    dir_.Write("Sub/unit2.dfm", "object Form2: TForm2\r\nend\r\n");
  }
  ~WorkspaceTest() override { fs::current_path(saved_); }

  Paths PathsOf(const Workspace& workspace) const {
    Paths paths;
    for (const auto& row : workspace.Rows()) paths.push_back(row.path.substr(root_.size()));
    return paths;
  }

  fs::path saved_;
  test_support::TempDir dir_;
  std::string root_;
};

const Paths kAllRows = {"Demo.dpr", "Demo.DOF", "Demo.cfg", "Unit1.pas", "Unit1.DFM", "Sub/Unit2.pas", "Sub/unit2.dfm"};
const Paths kRowsWithoutConfig = {"Demo.dpr", "Unit1.pas", "Unit1.DFM", "Sub/Unit2.pas", "Sub/unit2.dfm"};

TEST_F(WorkspaceTest, OpenProjectListsTheFilesThatExist) {
  Workspace workspace;
  EXPECT_FALSE(workspace.HasProject());
  workspace.OpenProject(root_ + "Demo.dpr");
  EXPECT_EQ(PathsOf(workspace), kAllRows);
  EXPECT_EQ(workspace.ProjectPath(), root_ + "Demo.dpr");
  EXPECT_TRUE(workspace.HasProject());
  EXPECT_TRUE(CanConvert(workspace));

  const FileRow& unit1 = workspace.Rows()[3];
  EXPECT_EQ(unit1, (FileRow{"Unit1.pas", "1234", "TW", root_ + "Unit1.pas", 4}));
  for (const auto& row : workspace.Rows()) EXPECT_EQ(row.code, "TW");
}

TEST_F(WorkspaceTest, AddConfigFilesOptionReloads) {
  Workspace workspace;
  workspace.SetAddConfigFiles(false);
  workspace.OpenProject(root_ + "Demo.dpr");
  EXPECT_EQ(PathsOf(workspace), kRowsWithoutConfig);

  workspace.Add(root_ + "Demo.cfg", [](std::string_view) { return true; });
  EXPECT_EQ(workspace.Rows().size(), kRowsWithoutConfig.size() + 1);
  workspace.SetAddConfigFiles(true);
  EXPECT_EQ(PathsOf(workspace), kAllRows) << "the reload drops rows added with Add";

  workspace.CloseProject();
  workspace.SetAddConfigFiles(false);
  EXPECT_TRUE(workspace.Rows().empty()) << "without a project nothing reloads";
}

TEST_F(WorkspaceTest, OpenProjectClosesTheOpenOne) {
  dir_.Write("Other.dpk", "package Other;\r\nrequires\r\n  rtl;\r\ncontains\r\n  U in 'unit1.pas';\r\nend.\r\n");
  Workspace workspace;
  workspace.OpenProject(root_ + "Demo.dpr");
  workspace.OpenProject(root_ + "Other.dpk");
  EXPECT_EQ(PathsOf(workspace), (Paths{"Other.dpk", "Unit1.pas", "Unit1.DFM"}));
  EXPECT_EQ(workspace.ProjectPath(), root_ + "Other.dpk");
}

TEST_F(WorkspaceTest, AddByKindOfFile) {
  dir_.Write("Pkg.dpk", "package Pkg;\r\nrequires\r\n  rtl;\r\ncontains\r\n  U in 'Unit1.pas';\r\nend.\r\n");
  dir_.Write("Pkg.dof", "");
  dir_.Write("notes.md", "");

  std::vector<std::string> questions;
  const auto answer = [&questions](bool yes) {
    return [&questions, yes](std::string_view question) {
      questions.emplace_back(question);
      return yes;
    };
  };

  Workspace workspace;
  workspace.SetAddConfigFiles(false);
  workspace.Add(root_ + "Unit1.pas", answer(true));
  EXPECT_EQ(PathsOf(workspace), (Paths{"Unit1.pas", "Unit1.DFM"})) << "a unit brings its form file";
  EXPECT_TRUE(questions.empty());

  workspace.Add(root_ + "Pkg.dpk", answer(false));
  EXPECT_EQ(PathsOf(workspace), (Paths{"Unit1.pas", "Unit1.DFM", "Pkg.dpk", "Pkg.dof"}))
      << "No: the package with its option files, whatever Add Config Files says";
  EXPECT_EQ(questions, (std::vector<std::string>{"Are you load all Project Files ?"}));

  workspace.Add(root_ + "notes.md", answer(true));
  EXPECT_EQ(workspace.Rows().back(), (FileRow{"notes.md", "0", "TW", root_ + "notes.md", 0}));
  EXPECT_FALSE(workspace.HasProject()) << "Add never opens a project";
  EXPECT_FALSE(CanConvert(workspace)) << "rows without a project are not converted by the window";
}

TEST_F(WorkspaceTest, AddProjectAnsweredYesAppendsBelowTheOpenProject) {
  dir_.Write("Pkg.dpk", "package Pkg;\r\nrequires\r\n  rtl;\r\ncontains\r\n  U in 'Sub\\Unit2.pas';\r\nend.\r\n");
  Workspace workspace;
  workspace.OpenProject(root_ + "Demo.dpr");
  workspace.Add(root_ + "Pkg.dpk", [](std::string_view) { return true; });
  Paths expected = kAllRows;
  expected.insert(expected.end(), {"Pkg.dpk", "Sub/Unit2.pas", "Sub/unit2.dfm"});
  EXPECT_EQ(PathsOf(workspace), expected);
  EXPECT_EQ(workspace.ProjectPath(), root_ + "Demo.dpr");
}

TEST_F(WorkspaceTest, DeleteRemovesTheSelectedRowOnly) {
  Workspace workspace;
  workspace.OpenProject(root_ + "Demo.dpr");
  workspace.Delete(std::nullopt);
  workspace.Delete(99);
  EXPECT_EQ(workspace.Rows().size(), kAllRows.size());
  workspace.Delete(1);
  EXPECT_EQ(PathsOf(workspace),
            (Paths{"Demo.dpr", "Demo.cfg", "Unit1.pas", "Unit1.DFM", "Sub/Unit2.pas", "Sub/unit2.dfm"}));
  EXPECT_TRUE(fs::exists(dir_.File("Demo.DOF"))) << "the file itself stays";
}

TEST_F(WorkspaceTest, FailedOpenKeepsTheProjectPath) {
  Workspace workspace;
  EXPECT_THROW(workspace.OpenProject(root_ + "Missing.dpr"), EFOpenError);
  EXPECT_EQ(workspace.ProjectPath(), root_ + "Missing.dpr");
  EXPECT_TRUE(workspace.Rows().empty());
  EXPECT_FALSE(CanConvert(workspace));
}

TEST_F(WorkspaceTest, RowsNameTheFilesFromAnyCurrentDirectory) {
  // A relative project path would otherwise be taken again from the folder
  // the scan made current.
  dir_.Write("Units/Abs.pas", "");
  dir_.Write("Rel/Rel.dpr",
             "program Rel;\r\nuses\r\n  A in '..\\Units\\abs.PAS',\r\n"
             "  B in '..\\Unit1.pas';\r\nbegin\r\nend.\r\n");
  fs::current_path(dir_.path());
  Workspace workspace;
  workspace.OpenProject("Rel/Rel.dpr");
  EXPECT_EQ(PathsOf(workspace), (Paths{"Rel/Rel.dpr", "Rel/../Units/Abs.pas", "Rel/../Unit1.pas", "Rel/../Unit1.DFM"}));
  for (const auto& row : workspace.Rows()) EXPECT_TRUE(fs::exists(row.path)) << row.path;
}

// A project that names files by absolute paths, as "/etc/passwd" would be:
// each row is the project's folder followed by the name, a file that does
// not exist, which the run skips; the file named stays untouched.
TEST_F(WorkspaceTest, AbsoluteNamesStayInsideTheProjectFolder) {
  const std::string outside = dir_.Write("Outside/Secret.pas", "unit Secret;\n{ \xB0\xEA }\n");
  std::string windows_form = outside;  // the same path written with backslashes
  for (auto& c : windows_form)
    if (c == '/') c = '\\';
  dir_.Write("Proj/P.dpr", "program P;\r\nuses\r\n  A in '" + outside + "',\r\n  B in '" + windows_form +
                               "',\r\n  C in '..\\Unit1.pas';\r\nbegin\r\nend.\r\n");
  Workspace workspace;
  workspace.OpenProject(root_ + "Proj/P.dpr");
  const Paths expected = {"Proj/P.dpr", "Proj/" + outside, "Proj/" + outside, "Proj/../Unit1.pas", "Proj/../Unit1.DFM"};
  ASSERT_EQ(PathsOf(workspace), expected);
  EXPECT_EQ(workspace.Rows()[1].size, "0");

  ConversionInputs inputs;
  inputs.rows = workspace.Rows();
  test_support::RecordingObserver observer;
  const ConversionSummary summary = ConvertAll(inputs, observer);
  EXPECT_EQ(summary.missing_paths, (Paths{root_ + "Proj/" + outside, root_ + "Proj/" + outside}));
  EXPECT_EQ(dir_.Read("Outside/Secret.pas"), "unit Secret;\n{ \xB0\xEA }\n");
}

TEST(FileRows, SizesAndIcons) {
  test_support::TempDir dir;
  EXPECT_EQ(FileSizeOf(dir.Write("a.pas", std::string(1234, 'a'))), 1234);
  EXPECT_EQ(FileSizeOf(dir.File("missing.pas")), 0);
  EXPECT_EQ(FileSizeOf(dir.path().string()), 0);

  const std::pair<std::string, int> icons[] = {
      {".dpr", 2}, {".DPK", 3}, {".pas", 4}, {".Dfm", 5}, {".bpl", 6},  {".DLL", 7},
      {".TXT", 8}, {".exe", 9}, {".md", 0},  {"", 0},     {".pas2", 0},
  };
  for (const auto& [extension, icon] : icons) EXPECT_EQ(FileTypeImageIndex(extension), icon) << extension;
  EXPECT_EQ(ExtensionOf("/p/readme.TXT"), ".TXT");
  EXPECT_EQ(ExtensionOf("/p.d/readme"), "");
  EXPECT_EQ(FileNameOf("/p/Sub/Unit2.pas"), "Unit2.pas");
}

}  // namespace
}  // namespace bgconv
