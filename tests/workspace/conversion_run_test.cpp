#include "workspace/conversion_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "codec/charset_names.h"
#include "platform/folder_lock.h"
#include "platform/paths.h"
#include "platform/temporary_file.h"
#include "support/file_size_limit.h"
#include "support/recording_observer.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using test_support::Events;
using test_support::RecordingObserver;

// 國們 in Big5 and in GB2312.
const std::string kBig5 = "\xB0\xEA\xAD\xCC";
const std::string kGb = "\xB9\xFA\xC3\xC7";

class RunTest : public ::testing::Test {
 protected:
  FileRow Row(const std::string& name, const std::string& bytes) {
    const auto path = dir_.Write(name, bytes);
    return FileRow{FileNameOf(path), std::to_string(bytes.size()), "TW", path, 0};
  }
  FileRow RowOf(const std::string& name) {
    const auto path = dir_.File(name);
    return FileRow{FileNameOf(path), "0", "TW", path, 0};
  }
  ConversionInputs Inputs(std::vector<FileRow> rows, Direction direction = Direction::kBigToGb) {
    ConversionInputs inputs;
    inputs.rows = std::move(rows);
    inputs.direction = direction;
    return inputs;
  }
  std::string Read(const std::string& name) { return dir_.Read(name); }

  test_support::TempDir dir_;
  RecordingObserver observer_;
};

TEST_F(RunTest, StepsAndProgressInOrder) {
  auto inputs = Inputs({Row("a.pas", "a"), Row("b.pas", "b"), Row("c.txt", "c"), RowOf("gone.pas")});
  const auto summary = ConvertAll(inputs, observer_);
  const auto& rows = inputs.rows;
  EXPECT_EQ(observer_.events, (Events{
                                  "show Convert Code Page",
                                  "started",
                                  "log Begin Convert Code",
                                  "progress 0",
                                  "progress 0",
                                  "title a.pas",
                                  "log Convert  " + rows[0].path,
                                  "progress 25",
                                  "title b.pas",
                                  "log Convert  " + rows[1].path,
                                  "progress 50",
                                  "title c.txt",
                                  "log Convert  " + rows[2].path,
                                  "progress 75",
                                  "title gone.pas",
                                  "log Convert  " + rows[3].path,
                                  "log Skip  " + rows[3].path + ": file not found",
                                  "progress 100",
                                  "log Left out  1 file (see the Skip and Not converted rows above)",
                                  "log End Convert Code",
                                  "ended",
                                  "hide",
                              }));
  EXPECT_EQ(summary.converted, 3u);
  EXPECT_EQ(summary.missing_paths, (Events{rows[3].path}));
  EXPECT_FALSE(fs::exists(rows[3].path)) << "nothing is written for a missing file";
}

TEST_F(RunTest, PlainFilesComeBackThroughTheLineList) {
  struct Case {
    std::string before, after;
  };
  const Case cases[] = {
      {"unit A;\n// " + kBig5 + "\nend.", "unit A;\r\n// " + kGb + "\r\nend.\r\n"},
      {std::string("ab\r\ncd\0ef\r\n", 10), std::string("ab\r\ncd\0ef\r\n", 10)},  // not text: left whole
      {"", ""},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
      {"Caption := 'CHINESEBIG5_CHARSET';", "Caption := 'CHINESEBIG5_CHARSET';\r\n"},  // plain files keep identifiers
  };
  std::vector<FileRow> rows;
  for (std::size_t i = 0; i < std::size(cases); ++i)
    rows.push_back(Row("f" + std::to_string(i) + ".pas", cases[i].before));
  ConvertAll(Inputs(rows), observer_);
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(Read("f" + std::to_string(i) + ".pas"), cases[i].after) << i;
}

TEST_F(RunTest, FormFilesGetTheirCharsetsRewritten) {
  const std::string form = "object Form1: TForm1\n  Caption = '" + kGb +
                           "'\n  Font.Charset = GB2312_CHARSET\n"
                           "  Tag = DEFAULT_CHARSET\nend\n";
  const auto row = Row("Form1.DfM", form);
  auto inputs = Inputs({row}, Direction::kGbToBig);
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("Form1.DfM"), "object Form1: TForm1\r\n  Caption = '" + kBig5 +
                                   "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n  Tag = DEFAULT_CHARSET\r\nend\r\n");

  dir_.Write("Form1.DfM", form);
  inputs.change_default_charset = true;
  ConvertAll(inputs, observer_);
  EXPECT_NE(Read("Form1.DfM").find("Tag = CHINESEBIG5_CHARSET"), std::string::npos);
}

TEST_F(RunTest, TheAnsiCodePageReachesTheFormLoader) {
  const auto row = Row("Form1.dfm", "object Form1: TForm1\r\nend\r\n");
  struct Case {
    Direction direction;
    int requested, expected;
  };
  for (const auto& c :
       {Case{Direction::kBigToGb, 0, 950}, Case{Direction::kGbToBig, 0, 936}, Case{Direction::kBigToGb, 936, 936}}) {
    auto inputs = Inputs({row}, c.direction);
    inputs.ansi_code_page = c.requested;
    int seen = 0;
    inputs.load_form_text = [&seen](const std::string& path, int code_page) {
      seen = code_page;
      return LoadFoldedFormText(path, code_page);
    };
    ConvertAll(inputs, observer_);
    EXPECT_EQ(seen, c.expected) << IndexOf(c.direction) << " " << c.requested;
  }
}

TEST_F(RunTest, LeavesFilesThatAreNotInTheSourceCodePage) {
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87\xE8\xAA\xAA\xE6\x98\x8E";  // 中文說明
  const std::string form = "object Form1: TForm1\r\n  Caption = '" + kGb + "'\r\nend\r\n";
  auto inputs = Inputs({Row("Big5.pas", "// " + kBig5 + "\r\n"), Row("Gb.pas", "// " + kGb + kGb + "\r\n"),
                        Row("Utf8.pas", "// " + utf8 + "\r\n"), Row("Form1.dfm", form)});
  inputs.overwrite = OverwriteMode::kChangeExtension;
  const auto summary = ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("Big5.pas"), "// " + kGb + "\r\n");
  EXPECT_EQ(Read("Gb.pas"), "// " + kGb + kGb + "\r\n");
  EXPECT_EQ(Read("Utf8.pas"), "// " + utf8 + "\r\n");
  EXPECT_EQ(Read("Form1.dfm"), form);
  EXPECT_FALSE(fs::exists(dir_.File("Gb.pas.Big"))) << "no original is kept of a file left as it is";
  const Events logs = observer_.Logs();
  for (const auto& skip : {"Gb.pas: already GB2312", "Utf8.pas: UTF-8", "Form1.dfm: already GB2312"})
    EXPECT_NE(std::find(logs.begin(), logs.end(), "Skip  " + dir_.File(skip)), logs.end()) << skip;
  EXPECT_EQ(summary.converted, 1u);
  EXPECT_EQ(summary.not_source_files.size(), 3u);
  EXPECT_EQ(RunEndMessage(summary), "Converted 1 file, left 3 files as they were (see the log)");

  // Forced, every file converts.
  inputs.force = true;
  inputs.overwrite = OverwriteMode::kOverwrite;
  EXPECT_EQ(ConvertAll(inputs, observer_).converted, 4u);
  EXPECT_EQ(Read("Gb.pas"), "// " + Big5ToGb(kGb + kGb) + "\r\n");
}

TEST_F(RunTest, KeptOriginalCarriesTheSourceCodePage) {
  const std::string original = "object Form1: TForm1\r\n  Caption = '" + kGb + "'\r\nend\r\n";
  auto inputs = Inputs({Row("Form1.dfm", original), Row("Makefile", "x = " + kGb)}, Direction::kGbToBig);
  inputs.overwrite = OverwriteMode::kChangeExtension;
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("Form1.dfm.GB"), original);
  EXPECT_EQ(Read("Makefile.GB"), "x = " + kGb);
  EXPECT_NE(Read("Form1.dfm"), original);

  // A second run (forced: the form is Big5 now) could keep its original
  // nowhere: the file stays as it is.
  const std::string converted = Read("Form1.dfm");
  inputs.force = true;
  try {
    ConvertAll(inputs, observer_);
    FAIL() << "an original that cannot be kept must stop the run";
  } catch (const EConversionError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot keep the original of " + inputs.rows[0].path + ": " +
                                             dir_.File("Form1.dfm.GB") + " already exists");
  }
  EXPECT_EQ(Read("Form1.dfm"), converted);
  EXPECT_EQ(Read("Form1.dfm.GB"), original);

  // A copy with the same bytes is the original already.
  dir_.Write("Form1.dfm", original);
  dir_.Write("Makefile", "x = " + kGb);
  observer_.events.clear();
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("Form1.dfm"), converted);
  const auto logs = observer_.Logs();
  EXPECT_NE(std::find(logs.begin(), logs.end(),
                      "Keep  " + dir_.File("Form1.dfm.GB") + ": exists already with the same bytes"),
            logs.end());
}

TEST_F(RunTest, OneFileListedTwiceIsConvertedOnce) {
  const auto row = Row("Unit1.pas", kBig5);
  fs::create_directory(dir_.File("Sub"));
  fs::create_symlink(row.path, dir_.File("Link.pas"));
  const FileRow through_parent{"Unit1.pas", "4", "TW", dir_.File("Sub/../Unit1.pas"), 4};
  auto inputs = Inputs({row, row, through_parent, RowOf("Link.pas")});
  inputs.overwrite = OverwriteMode::kChangeExtension;
  const auto summary = ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("Unit1.pas"), kGb + "\r\n") << "converted once, not twice";
  EXPECT_EQ(Read("Unit1.pas.Big"), kBig5);
  EXPECT_EQ(summary.converted, 1u);
  EXPECT_EQ(summary.repeated, 3u);
  const auto logs = observer_.Logs();
  EXPECT_EQ(logs[3], "Skip  " + row.path + ": the same file as " + row.path + ", converted once");
  EXPECT_EQ(logs[7], "Skip  " + dir_.File("Link.pas") + ": the same file as " + row.path + ", converted once");
}

TEST_F(RunTest, HardLinksAreTwoFiles) {
  // Replacing one name of a hard-linked file leaves the other as it was, so
  // both are converted.
  const auto row = Row("a.pas", kBig5);
  fs::create_hard_link(row.path, dir_.File("b.pas"));
  ConvertAll(Inputs({row, RowOf("b.pas")}), observer_);
  EXPECT_EQ(Read("a.pas"), kGb + "\r\n");
  EXPECT_EQ(Read("b.pas"), kGb + "\r\n");
}

TEST_F(RunTest, ACopyMadeByTheRunIsNeverConverted) {
  auto inputs = Inputs({Row("a.pas", kBig5), RowOf("a.pas.Big")});
  inputs.overwrite = OverwriteMode::kChangeExtension;
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("a.pas.Big"), kBig5);
}

TEST_F(RunTest, AFailureStopsTheRunAfterTheEndSteps) {
  std::vector<FileRow> rows;
  for (const char* name : {"1.pas", "2.pas"}) rows.push_back(Row(name, kBig5));
  const char header[] = "\xFF\x0A\x00TFORM1\x00\x30\x10\x00\x00\x00\x00TPF0";
  const std::string binary_form(header, sizeof header - 1);
  rows.push_back(Row("3.dfm", binary_form));
  for (const char* name : {"4.pas", "5.pas"}) rows.push_back(Row(name, kBig5));
  try {
    ConvertAll(Inputs(rows), observer_);
    FAIL() << "the binary form must stop the run";
  } catch (const EConversionError& error) {
    EXPECT_EQ(error.Path(), rows[2].path);
    EXPECT_EQ(std::string(error.what()).rfind(rows[2].path + ": ", 0), 0u) << error.what();
  }
  EXPECT_EQ(Read("1.pas"), kGb + "\r\n");
  EXPECT_EQ(Read("2.pas"), kGb + "\r\n");
  EXPECT_EQ(Read("3.dfm"), binary_form);
  EXPECT_EQ(Read("4.pas"), kBig5);
  EXPECT_EQ(Read("5.pas"), kBig5);
  const Events tail(observer_.events.end() - 3, observer_.events.end());
  EXPECT_EQ(tail, (Events{"log End Convert Code", "ended", "hide"}));
  EXPECT_EQ(std::count(observer_.events.begin(), observer_.events.end(), "progress 100"), 0);
}

TEST_F(RunTest, AFullDiskLeavesTheFileAndNamesTheReason) {
  const std::string big = std::string(100000, 'x') + kBig5;
  auto inputs = Inputs({Row("small.pas", kBig5), Row("big.pas", big), Row("after.pas", kBig5)});
  {
    test_support::FileSizeLimit limit(50000);
    try {
      ConvertAll(inputs, observer_);
      FAIL() << "the write past the limit must stop the run";
    } catch (const EConversionError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot create file " + inputs.rows[1].path + " (" + std::strerror(EFBIG) + ")");
    }
  }
  EXPECT_EQ(Read("small.pas"), kGb + "\r\n");
  EXPECT_EQ(Read("big.pas"), big);
  EXPECT_EQ(Read("after.pas"), kBig5);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 3) << "no temporary left";
}

TEST_F(RunTest, ARowThatIsNoRegularFileStopsTheRunWithoutWaiting) {
  // Reading a named pipe would wait for a writer that never comes.
  ASSERT_EQ(::mkfifo(dir_.File("pipe.pas").c_str(), 0600), 0);
  fs::create_directory(dir_.File("folder.pas"));
  for (const char* name : {"pipe.pas", "folder.pas"}) {
    try {
      ConvertAll(Inputs({Row("before.pas", kBig5), RowOf(name)}), observer_);
      FAIL() << name << " must stop the run";
    } catch (const EConversionError& error) {
      EXPECT_EQ(std::string(error.what()), dir_.File(name) + " is not a regular file");
    }
  }
}

TEST_F(RunTest, PermissionBitsStay) {
  const auto row = Row("tool.pas", kBig5);
  fs::permissions(row.path, fs::perms::owner_all | fs::perms::group_read);
  ConvertAll(Inputs({row}), observer_);
  EXPECT_EQ(fs::status(row.path).permissions() & fs::perms::all, fs::perms::owner_all | fs::perms::group_read);
}

TEST_F(RunTest, BackupCopiesKeepTheirPlacesAndAFailedOneStopsEverything) {
  // Two units of one name, one of them outside the project's folder.
  dir_.Write("Common/Helper.pas", "common\r\n");
  auto inputs = Inputs({Row("P/Helper.pas", kBig5), Row("P/Sub/Helper.pas", "sub\r\n"), RowOf("Common/Helper.pas"),
                        Row("P/Old.pas", kBig5), RowOf("P/gone.pas")});
  inputs.rows[2].path = dir_.File("P/../Common/Helper.pas");  // as a project names it
  inputs.project_path = dir_.File("P/Demo.dpr");
  inputs.backup = true;
  inputs.backup_path = dir_.File("backup") + "/";
  dir_.Write("backup/Old.pas", kBig5);  // a copy made before counts as made
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("backup/Helper.pas"), kBig5);
  EXPECT_EQ(Read("backup/Sub/Helper.pas"), "sub\r\n");
  EXPECT_EQ(Read("backup/Helper~2.pas"), "common\r\n");
  EXPECT_EQ(Read("P/Helper.pas"), kGb + "\r\n");

  // A copy that cannot be made (another file of that name is there): no
  // file is converted, and the message names every file concerned.
  dir_.Write("P/Helper.pas", kBig5);
  dir_.Write("P/Old.pas", "edited since");
  try {
    ConvertAll(inputs, observer_);
    FAIL() << "a backup that cannot be made must stop the run";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot back up 1 file, so no file was converted: " + inputs.rows[3].path +
                                             " (" + dir_.File("backup/Old.pas") + " already exists)");
  }
  EXPECT_EQ(Read("P/Helper.pas"), kBig5);
  EXPECT_EQ(Read("backup/Old.pas"), kBig5);
}

TEST_F(RunTest, FilesWithANulByteAreNotTextAndStayAsTheyAre) {
  // A compiled resource the project names with {$R 'App.res' 'App.rc'}, and
  // a unit saved as UTF-16.
  const std::string resource("\x00\x00\x00\x00\x20\x00\x00\x00\xFF\xFF\x00\x00", 12);
  const std::string utf16("\xFF\xFEu\x00n\x00i\x00t\x00", 10);
  auto inputs = Inputs({Row("App.res", resource), Row("Wide.pas", utf16), Row("Unit1.pas", kBig5)});
  inputs.overwrite = OverwriteMode::kChangeExtension;
  const auto summary = ConvertAll(inputs, observer_);
  EXPECT_EQ(Read("App.res"), resource);
  EXPECT_EQ(Read("Wide.pas"), utf16);
  EXPECT_FALSE(fs::exists(dir_.File("App.res.Big"))) << "nothing is made for a file left out";
  EXPECT_EQ(Read("Unit1.pas"), kGb + "\r\n") << "the run goes on";
  EXPECT_EQ(summary.not_text_paths, (Events{inputs.rows[0].path, inputs.rows[1].path}));
  const auto logs = observer_.Logs();
  EXPECT_NE(std::find(logs.begin(), logs.end(), "Skip  " + inputs.rows[0].path + ": not text (a NUL byte at offset 0)"),
            logs.end());
  EXPECT_NE(std::find(logs.begin(), logs.end(), "Skip  " + inputs.rows[1].path + ": not text (a NUL byte at offset 3)"),
            logs.end());
  EXPECT_EQ(logs[logs.size() - 2], "Left out  2 files (see the Skip and Not converted rows above)");
}

TEST_F(RunTest, ASecondRunInTheSameFoldersIsRefusedBeforeItWrites) {
  auto inputs = Inputs({Row("Demo.dpr", kBig5), Row("Sub/Unit1.pas", kBig5)});
  inputs.project_path = inputs.rows[0].path;
  FolderLocks other_run;
  ASSERT_TRUE(other_run.TryLock(dir_.File("Sub")));
  try {
    ConvertAll(inputs, observer_);
    FAIL() << "the folder is held by another run";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Another conversion of " + inputs.project_path + " is running");
  }
  EXPECT_EQ(Read("Demo.dpr"), kBig5) << "nothing is written, not even before the locked folder";
  EXPECT_TRUE(observer_.events.empty());
}

TEST_F(RunTest, StaleTemporariesOfItsFilesGoAndLongNamesWork) {
  // 255 bytes: the longest name the file system takes.
  const std::string long_name = std::string(251, 'n') + ".pas";
  auto inputs = Inputs({Row(long_name, kBig5), Row("Unit1.pas", kBig5)});
  const std::string stale_old = dir_.Write(".Unit1.pas.bgconv-Ab12Cd", "left by a killed run");
  const std::string someone_elses = dir_.Write(".notes.bgconv-Ab12Cd", "not ours");
  const std::string stale_new = CreateTemporaryBeside(inputs.rows[1].path).path;  // as a killed write leaves it
  ConvertAll(inputs, observer_);
  EXPECT_EQ(Read(long_name), kGb + "\r\n");
  EXPECT_FALSE(fs::exists(stale_old));
  EXPECT_FALSE(fs::exists(stale_new));
  EXPECT_TRUE(fs::exists(someone_elses));
}

TEST_F(RunTest, CompressedBackupIsNotSupported) {
  auto inputs = Inputs({Row("Unit1.pas", kBig5)});
  inputs.backup = true;
  inputs.backup_mode = BackupMode::kCompression;
  inputs.backup_path = dir_.File("backup") + "/";
  ConvertAll(inputs, observer_);
  EXPECT_EQ(observer_.events.front(), "message not support");
  EXPECT_EQ(observer_.events[1], "show Convert Code Page");
  EXPECT_EQ(Read("Unit1.pas"), kGb + "\r\n") << "the run goes on without a backup";
  EXPECT_FALSE(fs::exists(dir_.File("backup")));
}

TEST_F(RunTest, TheExternalEngineIsRefusedBeforeAnythingHappens) {
  auto inputs = Inputs({Row("Unit1.pas", kBig5)});
  inputs.engine = Engine::kConCmd;
  EXPECT_THROW(ConvertAll(inputs, observer_), Exception);
  EXPECT_TRUE(observer_.events.empty());
  EXPECT_EQ(Read("Unit1.pas"), kBig5);
}

}  // namespace
}  // namespace bgconv
