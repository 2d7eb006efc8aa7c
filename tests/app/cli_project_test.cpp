#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using test_support::RunProgramAt;
using Lines = std::vector<std::string>;

// 國們 in Big5 and in GB2312.
const std::string kBig5 = "\xB0\xEA\xAD\xCC";
const std::string kGb = "\xB9\xFA\xC3\xC7";

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// A Delphi project the way Windows left it: the program names one unit in a
// subfolder with a backslash and one in another letter case than its file.
class CliProjectTest : public ::testing::Test {
 protected:
  CliProjectTest() : root_(dir_.path().string() + "/p/") {
    program_ = dir_.File("bin/bgconv");
    fs::create_directory(dir_.File("bin"));
    fs::copy_file(test_support::ProgramPath("bgconv"), program_);
    dir_.Write("p/Demo.dpr",
               "program Demo;\r\nuses\r\n  Forms,\r\n  Unit1 in 'Unit1.pas' {Form1},\r\n"
               "  Unit2 in 'Sub\\Unit2.pas' {Form2},\r\n  Ras in 'Ras.pas';\r\nbegin\r\nend.\r\n");
    dir_.Write("p/Demo.dof", "[Version Info Keys]\r\nComments=" + kBig5 + "\r\n");
    dir_.Write("p/Demo.cfg", "-$A+\r\n");
    dir_.Write("p/Unit1.pas", "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n");
    dir_.Write("p/Unit1.dfm", form_);
    dir_.Write("p/Sub/Unit2.pas", "unit Unit2;\nconst S = '" + kBig5 + "';\nend.");
    dir_.Write("p/RAS.PAS", "unit Ras;\r\nend.\r\n");
  }

  test_support::ProgramResult Run(const Lines& args) { return RunProgramAt(program_, args); }
  std::string Read(const std::string& name) { return dir_.Read("p/" + name); }
  void Settings(const std::string& text) { dir_.Write("bin/bgconv.ini", text); }
  std::string Size(const std::string& name) { return std::to_string(fs::file_size(root_ + name)); }

  test_support::TempDir dir_;
  std::string root_;
  std::string program_;
  const std::string form_ =
      "object Form1: TForm1\r\n  Caption = '" + kBig5 + "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\nend\r\n";
};

TEST_F(CliProjectTest, ListShowsTheRowsTabSeparated) {
  auto result = Run({"list", root_ + "Demo.dpr"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(SplitLines(result.out),
            (Lines{
                "Demo.dpr\t" + Size("Demo.dpr") + "\tTW\t" + root_ + "Demo.dpr" + "\tASCII",
                "Demo.dof\t" + Size("Demo.dof") + "\tTW\t" + root_ + "Demo.dof" + "\tBig5",
                "Demo.cfg\t" + Size("Demo.cfg") + "\tTW\t" + root_ + "Demo.cfg" + "\tASCII",
                "Unit1.pas\t" + Size("Unit1.pas") + "\tTW\t" + root_ + "Unit1.pas" + "\tBig5",
                "Unit1.dfm\t" + Size("Unit1.dfm") + "\tTW\t" + root_ + "Unit1.dfm" + "\tBig5",
                "Unit2.pas\t" + Size("Sub/Unit2.pas") + "\tTW\t" + root_ + "Sub/Unit2.pas" + "\tBig5",
                "RAS.PAS\t" + Size("RAS.PAS") + "\tTW\t" + root_ + "RAS.PAS" + "\tASCII",
            }));
  result = Run({"list", "--no-config", root_ + "Demo.dpr"});
  EXPECT_EQ(SplitLines(result.out).size(), 5u);

  result = Run({"list", root_ + "Missing.dpr"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + root_ + "Missing.dpr\n");

  Settings("[cpOption]\r\nAddConfigFile=0\r\n");
  EXPECT_EQ(SplitLines(Run({"list", root_ + "Demo.dpr"}).out).size(), 5u) << "the settings' default";
  EXPECT_EQ(SplitLines(Run({"list", "--config", root_ + "Demo.dpr"}).out).size(), 7u) << "the option wins";
}

TEST_F(CliProjectTest, ListsTheBundledSample) {
  const std::string sample = std::string(BGCONV_SOURCE_DIR) + "/examples/project/";
  const auto result = Run({"list", sample + "Sample.dpr"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  Lines paths;
  for (const auto& line : SplitLines(result.out)) {
    // File, Size, Code, Path, Class: every file of the sample is Big5.
    const std::size_t class_column = line.rfind('\t');
    const std::size_t path_column = line.rfind('\t', class_column - 1) + 1;
    paths.push_back(line.substr(path_column, class_column - path_column));
    EXPECT_EQ(line.substr(class_column + 1), "Big5") << line;
  }
  EXPECT_EQ(paths, (Lines{sample + "Sample.dpr", sample + "Sample.dof", sample + "Sample.cfg", sample + "MainForm.pas",
                          sample + "MainForm.dfm", sample + "APPMSGS.PAS", sample + "Sub/Helper.pas",
                          sample + "Sub/Helper.dfm"}));
}

// Every file below `folder` of `dir`, path -> bytes.
std::map<std::string, std::string> FilesBelow(const test_support::TempDir& dir, const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir.File(folder)))
    if (entry.is_regular_file()) files[entry.path()] = dir.Read(entry.path().string());
  return files;
}

TEST_F(CliProjectTest, ASecondRunOrTheWrongDirectionChangesNothing) {
  fs::copy(std::string(BGCONV_SOURCE_DIR) + "/examples/project", dir_.File("sample"), fs::copy_options::recursive);
  const std::string project = dir_.File("sample/Sample.dpr");
  const auto original = FilesBelow(dir_, "sample");
  auto result = Run({"convert", "--to", "big5", "--quiet", project});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.err.find("bgconv: left as it was, already Big5: " + project + "\n"), std::string::npos);
  EXPECT_EQ(FilesBelow(dir_, "sample"), original);

  ASSERT_EQ(Run({"convert", "--to", "gb", "--quiet", project}).exit_code, 0);
  const auto converted = FilesBelow(dir_, "sample");
  EXPECT_NE(converted, original);
  EXPECT_EQ(Run({"convert", "--to", "gb", "--quiet", project}).exit_code, 0);
  EXPECT_EQ(FilesBelow(dir_, "sample"), converted);

  // Forced, the files are converted once more.
  EXPECT_EQ(Run({"convert", "--to", "gb", "--quiet", "--force", project}).err, "");
  EXPECT_NE(FilesBelow(dir_, "sample"), converted);
}

TEST_F(CliProjectTest, ConvertsTheBundledSampleWithItsBinaryForm) {
  fs::copy(std::string(BGCONV_SOURCE_DIR) + "/examples/project", dir_.File("sample"), fs::copy_options::recursive);
  const auto result = Run({"convert", "--to", "gb", "--quiet", dir_.File("sample/Sample.dpr")});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string helper = dir_.Read("sample/Sub/Helper.dfm");
  EXPECT_EQ(helper.rfind("object FormHelper: TFormHelper\r\n", 0), 0u) << "written back as form text";
  EXPECT_NE(helper.find("Font.Charset = GB2312_CHARSET\r\n"), std::string::npos);
  EXPECT_NE(helper.find("Caption = '\xC8\xB7\xB6\xA8'"), std::string::npos) << "a byte string caption, 確定 in GB2312";
  const std::string main_form = dir_.Read("sample/MainForm.dfm");
  EXPECT_NE(main_form.find("Caption = '\xBB\xB6\xD3\xAD"), std::string::npos)
      << "a wide-string caption, folded and converted";
}

TEST_F(CliProjectTest, ConvertsTheProjectAndLogsEachFile) {
  const auto result = Run({"convert", "--to", "gb", root_ + "Demo.dpr"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(SplitLines(result.err), (Lines{
                                        "Begin Convert Code",
                                        "Convert  " + root_ + "Demo.dpr",
                                        "Convert  " + root_ + "Demo.dof",
                                        "Convert  " + root_ + "Demo.cfg",
                                        "Convert  " + root_ + "Unit1.pas",
                                        "Convert  " + root_ + "Unit1.dfm",
                                        "Convert  " + root_ + "Sub/Unit2.pas",
                                        "Convert  " + root_ + "RAS.PAS",
                                        "End Convert Code",
                                    }));
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n");
  EXPECT_EQ(Read("Sub/Unit2.pas"), "unit Unit2;\r\nconst S = '" + kGb + "';\r\nend.\r\n");
  EXPECT_EQ(Read("Demo.dof"), "[Version Info Keys]\r\nComments=" + kGb + "\r\n");
  EXPECT_EQ(Read("Unit1.dfm"),
            "object Form1: TForm1\r\n  Caption = '" + kGb + "'\r\n  Font.Charset = GB2312_CHARSET\r\nend\r\n");
  EXPECT_FALSE(fs::exists(root_ + "Unit1.pas.Big"));
}

TEST_F(CliProjectTest, ConvertsNamedFilesOnly) {
  auto result = Run({"convert", "--to", "gb", "--quiet", root_ + "Unit1.pas", root_ + "Unit1.dfm"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "") << "--quiet keeps only errors";
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n");
  EXPECT_EQ(Read("Sub/Unit2.pas"), "unit Unit2;\nconst S = '" + kBig5 + "';\nend.");

  // A missing name stops everything before any file is touched.
  result = Run({"convert", "--to", "big5", root_ + "Unit1.pas", root_ + "Typo.pas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "bgconv: Cannot open file " + root_ + "Typo.pas\n");
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n");
}

TEST_F(CliProjectTest, AFailureNamesTheFileAndStopsTheRun) {
  const char header[] = "\xFF\x0A\x00TFORM1\x00\x30\x10\x00\x00\x00\x00TPF0";
  const std::string binary(header, sizeof header - 1);
  dir_.Write("p/Unit1.dfm", binary);
  const auto result = Run({"convert", "--to", "gb", "--keep-original", root_ + "Demo.dpr"});
  EXPECT_EQ(result.exit_code, 1);
  const auto lines = SplitLines(result.err);
  ASSERT_GE(lines.size(), 2u) << result.err;
  EXPECT_EQ(lines[lines.size() - 2], "End Convert Code");
  EXPECT_EQ(lines.back().rfind("bgconv: " + root_ + "Unit1.dfm: ", 0), 0u) << lines.back();
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n") << "files before it stay converted";
  EXPECT_EQ(Read("Unit1.dfm"), binary);
  EXPECT_EQ(Read("Sub/Unit2.pas"), "unit Unit2;\nconst S = '" + kBig5 + "';\nend.") << "files after it untouched";
  EXPECT_FALSE(fs::exists(root_ + "Sub/Unit2.pas.Big"));
}

TEST_F(CliProjectTest, AFullDiskNamesTheFileAndTheReason) {
  dir_.Write("p/Big.pas", std::string(200000, 'x'));
  dir_.Write("p/After.pas", kBig5);
  // As a full disk would, the file size limit stops the write half-way.
  const auto result =
      RunProgramAt("/bin/sh", {"-c", "trap '' XFSZ; ulimit -f 64; exec \"$0\" \"$@\"", program_, "convert", "--to",
                               "gb", root_ + "Unit1.pas", root_ + "Big.pas", root_ + "After.pas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(SplitLines(result.err).back(),
            "bgconv: Cannot create file " + root_ + "Big.pas (" + std::strerror(EFBIG) + ")");
  EXPECT_EQ(Read("Big.pas"), std::string(200000, 'x'));
  EXPECT_EQ(Read("After.pas"), kBig5);
  for (const auto& entry : fs::directory_iterator(root_))
    EXPECT_EQ(entry.path().filename().string().find(".bgconv-"), std::string::npos) << entry.path();
}

TEST_F(CliProjectTest, RelativeProjectPath) {
  const auto result = RunProgramAt(
      "/bin/sh", {"-c", "cd \"$1\" && exec \"$0\" convert --to gb p/Demo.dpr", program_, dir_.path().string()});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(Read("Sub/Unit2.pas"), "unit Unit2;\r\nconst S = '" + kGb + "';\r\nend.\r\n");
}

TEST_F(CliProjectTest, DefaultsComeFromTheSettingsAndOptionsOverrideThem) {
  Settings("[cpOption]\r\nDefLan=0\r\nOverwrite=0\r\nBackUporiginal=1\r\nBackupDir=" + dir_.File("saved") +
           "\r\nChagerCharset=0\r\n");
  dir_.Write("p/Unit1.dfm", "object Form1: TForm1\r\n  Font.Charset = DEFAULT_CHARSET\r\nend\r\n");
  auto result = Run({"convert", "--quiet", root_ + "Unit1.pas", root_ + "Unit1.dfm"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n") << "DefLan=0: Big5 to GB2312";
  EXPECT_EQ(Read("Unit1.pas.Big"), "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n") << "Overwrite=0";
  EXPECT_EQ(dir_.Read("saved/Unit1.pas"), "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n") << "BackUporiginal=1";
  EXPECT_EQ(Read("Unit1.dfm"), "object Form1: TForm1\r\n  Font.Charset = GB2312_CHARSET\r\nend\r\n")
      << "ChagerCharset=0";

  result = Run({"convert", "--quiet", "--to", "big5", "--overwrite", "--no-backup", root_ + "Sub/Unit2.pas"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_FALSE(fs::exists(root_ + "Sub/Unit2.pas.GB"));
  EXPECT_FALSE(fs::exists(dir_.File("saved/Unit2.pas")));

  // ConvertEngine=1: the external converter, which this copy of the
  // program does not have beside it; the file stays as it was.
  Settings("[cpOption]\r\nDefLan=0\r\nConvertEngine=1\r\n");
  const std::string before = Read("RAS.PAS");
  result = Run({"convert", root_ + "RAS.PAS"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("ConCmd/ConCmd: System Error.  Code: 2."), std::string::npos) << result.err;
  EXPECT_EQ(Read("RAS.PAS"), before);
  result = Run({"convert", "--engine", "builtin", "--quiet", root_ + "RAS.PAS"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
}

TEST_F(CliProjectTest, CompressedBackupIsNotSupportedButTheRunGoesOn) {
  const auto result = Run({"convert", "--to", "gb", "--quiet", "--backup", dir_.File("saved"), "--backup-mode",
                           "compression", root_ + "Unit1.pas"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "bgconv: not support\n");
  EXPECT_FALSE(fs::exists(dir_.File("saved")));
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n");
}

TEST_F(CliProjectTest, AResourceStaysWholeAndQuietStillNamesWhatWasLeftOut) {
  dir_.Write("p/Demo.dpr",
             "program Demo;\r\nuses\r\n  Unit1 in 'Unit1.pas' {Form1};\r\n{$R 'App.res' 'App.rc'}\r\n"
             "begin\r\nend.\r\n");
  const std::string resource("\x00\x00\x00\x00\x20\x00\x00\x00\xFF\xFF\x00\x00\xFF\xFF\x00\x00", 16);
  dir_.Write("p/App.res", resource);
  auto result = Run({"convert", "--quiet", "--to", "gb", root_ + "Demo.dpr"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "bgconv: left as it was, not text: " + root_ + "App.res\n");
  EXPECT_EQ(Read("App.res"), resource);
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kGb + "\r\nend.\r\n");

  // An edited unit whose older original is kept already: not converted,
  // and said also under --quiet.
  dir_.Write("p/Unit1.pas", "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n");
  dir_.Write("p/Unit1.pas.Big", "an older original");
  result = Run({"convert", "--quiet", "--to", "gb", "--keep-original", root_ + "Unit1.pas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "bgconv: Cannot keep the original of " + root_ + "Unit1.pas: " + root_ + "Unit1.pas.Big already exists\n");
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n");
}

TEST_F(CliProjectTest, ARelativeWorkFolderIsTakenFromWhereTheCommandStarts) {
  Settings("[cpOption]\r\nDefLan=0\r\nConvertEngine=1\r\nWorkConvertDir=w\r\n");
  const auto result =
      RunProgramAt("/bin/sh", {"-c", "cd \"$1\" && exec \"$0\" convert p/Demo.dpr", program_, dir_.path().string()});
  EXPECT_EQ(result.exit_code, 1) << "this copy of the program has no converter beside it";
  EXPECT_TRUE(fs::is_directory(dir_.File("w")));
  EXPECT_FALSE(fs::exists(root_ + "w")) << "not in the project's folder, which the scan made current";
}

// As ~/.cache/bgconv/Conver/ of a user without a ~/.cache yet.
TEST_F(CliProjectTest, AWorkFolderIsMadeWithTheFoldersAboveIt) {
  const std::string work = dir_.File("home/.cache/bgconv/Conver");
  Settings("[cpOption]\r\nDefLan=0\r\nConvertEngine=1\r\nWorkConvertDir=" + work + "\r\n");
  Run({"convert", root_ + "Demo.dpr"});
  EXPECT_TRUE(fs::is_directory(work));
  EXPECT_EQ(fs::status(dir_.File("home/.cache")).permissions() & fs::perms::all, fs::perms::owner_all);
}

// A pipe or a device is refused, not read: reading a pipe waits for a writer
// that may never come.
TEST_F(CliProjectTest, PipesAndDevicesAreRefused) {
  const std::string pipe_project = root_ + "Pipe.dpr";
  const std::string pipe_form = root_ + "Pipe.dfm";
  const std::string device_project = root_ + "Null.dpk";
  ASSERT_EQ(::mkfifo(pipe_project.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(pipe_form.c_str(), 0600), 0);
  fs::create_symlink("/dev/null", device_project);
  const std::pair<Lines, std::string> cases[] = {
      {{"list", pipe_project}, pipe_project},     {{"convert", "--to", "gb", pipe_project}, pipe_project},
      {{"list", device_project}, device_project}, {{"form", pipe_form}, pipe_form},
      {{"form", "--raw", pipe_form}, pipe_form},
  };
  for (const auto& [args, path] : cases) {
    const auto result = RunProgramAt(program_, args, {}, 10);
    EXPECT_FALSE(result.timed_out) << args[0] << " " << path << " blocked";
    EXPECT_EQ(result.exit_code, 1) << args[0] << " " << path;
    EXPECT_NE(result.err.find(path + ": not a regular file"), std::string::npos) << result.err;
  }
}

TEST_F(CliProjectTest, UsageErrorsExitTwo) {
  const std::vector<Lines> bad = {
      {"convert", root_ + "Unit1.pas"},  // no --to and no settings file
      {"convert", "--to", "utf8", root_ + "Unit1.pas"},
      {"convert", "--to", "gb"},
      {"convert", "--to", "gb", root_ + "Demo.dpr", root_ + "Unit1.pas"},
      {"convert", "--to", "gb", "--acp", "1252", root_ + "Unit1.pas"},
      {"convert", "--to", "gb", "--backup-mode", "zip", root_ + "Unit1.pas"},
      {"convert", "--to", "gb", "--engine", "x", root_ + "Unit1.pas"},
      {"convert", "--to", "gb", "--frobnicate", root_ + "Unit1.pas"},
      {"list"},
      {"list", root_ + "Demo.dpr", root_ + "Demo.dpr"},
  };
  for (const auto& args : bad) {
    const auto result = Run(args);
    EXPECT_EQ(result.exit_code, 2) << args.back();
    EXPECT_EQ(SplitLines(result.err).size(), 1u) << result.err;
  }
  EXPECT_EQ(Read("Unit1.pas"), "unit Unit1;\r\n// " + kBig5 + "\r\nend.\r\n");
}

}  // namespace
}  // namespace bgconv
