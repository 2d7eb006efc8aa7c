// The run with the external engine: the real ConCmd-compatible converter,
// and converters that fail in the ways that could lose a file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/purge.h"
#include "support/recording_observer.h"
#include "support/temp_dir.h"
#include "workspace/conversion_run.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

// 國 and 們 in Big5 and in GB2312.
const std::string kBig5Guo = "\xB0\xEA";
const std::string kBig5Men = "\xAD\xCC";
const std::string kGbGuo = "\xB9\xFA";
const std::string kGbMen = "\xC3\xC7";

std::string FormText(const std::string& caption, const std::string& charset) {
  return "object Form1: TForm1\r\n  Caption = '" + caption + "'\r\n  Font.Charset = " + charset + "\r\nend\r\n";
}

class ExternalRunTest : public ::testing::Test {
 protected:
  ExternalRunTest() {
    Write("a/Unit1.pas", "// " + kBig5Guo + "\r\n");
    Write("b/Unit1.pas", "// " + kBig5Men + "\r\n");
    Write("Main.dfm", FormText(kBig5Guo, "CHINESEBIG5_CHARSET"));
    // A binary form: its original bytes must survive a failed pass.
    Write("Bin.dfm", ReadWholeFile(std::string(BGCONV_SOURCE_DIR) + "/tests/form/fixtures/main_form.dfm"));
  }

  void Write(const std::string& name, const std::string& bytes) { dir_.Write("p/" + name, bytes); }
  std::string Read(const std::string& name) { return dir_.Read("p/" + name); }
  std::string Path(const std::string& name) { return dir_.File("p/" + name); }

  ConversionInputs Inputs(std::vector<std::string> names, std::string program_folder) {
    ConversionInputs inputs;
    for (const auto& name : names) inputs.rows.push_back(FileRow{FileNameOf(Path(name)), "1", "TW", Path(name), 0});
    inputs.direction = Direction::kBigToGb;
    inputs.engine = Engine::kConCmd;
    inputs.work_folder = dir_.File("work") + "/";
    inputs.program_folder = std::move(program_folder);
    return inputs;
  }

  // A converter of our own making at <folder>/ConCmd/ConCmd.
  std::string FakeConverter(const std::string& script) {
    const std::string program = dir_.Write("fake/ConCmd/ConCmd", "#!/bin/sh\n" + script + "\n");
    fs::permissions(program, fs::perms::owner_all);
    return dir_.File("fake") + "/";
  }

  std::vector<std::string> WorkFolderEntries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.File("work"))) names.push_back(entry.path().filename());
    return names;
  }

  test_support::TempDir dir_;
  test_support::RecordingObserver observer_;
};

TEST_F(ExternalRunTest, ConvertsSameNamedFilesApartAndRewritesFormCharsets) {
  const auto summary =
      ConvertAll(Inputs({"a/Unit1.pas", "b/Unit1.pas", "Main.dfm"}, std::string(BGCONV_BIN_DIR) + "/"), observer_);
  EXPECT_EQ(summary.converted, 3u);
  EXPECT_TRUE(summary.not_converted_paths.empty());
  EXPECT_EQ(Read("a/Unit1.pas"), "// " + kGbGuo + "\r\n");
  EXPECT_EQ(Read("b/Unit1.pas"), "// " + kGbMen + "\r\n");
  EXPECT_EQ(Read("Main.dfm"), FormText(kGbGuo, "GB2312_CHARSET"));
  // The program made the work folder, marked it, and took every copy back.
  EXPECT_EQ(WorkFolderEntries(), std::vector<std::string>{std::string(kWorkFolderMarker)});
  const auto logs = observer_.Logs();
  EXPECT_EQ(logs.front(), "Begin Convert Code");
  EXPECT_EQ(logs.back(), "End Convert Code");
  EXPECT_NE(std::find_if(logs.begin(), logs.end(),
                         [](const std::string& line) { return line.find(" returned 0") != std::string::npos; }),
            logs.end());
}

// Whatever the converter does wrong, every file keeps its original bytes and
// the work folder keeps none of the run's copies.
TEST_F(ExternalRunTest, NoFileIsLostWhenTheConverterFails) {
  struct Case {
    const char* what;
    const char* script;
  };
  const Case cases[] = {
      {"returns an error without converting", "exit 3"},
      {"deletes the files", "rm -f \"$(dirname \"$2\")\"/*; exit 0"},
      {"leaves the files unconverted", "exit 0"},
      {"truncates the files and fails", "for f in \"$(dirname \"$2\")\"/*; do : > \"$f\"; done; exit 1"},
      {"empties the files and says it did well", "for f in \"$(dirname \"$2\")\"/*; do : > \"$f\"; done; exit 0"},
      {"converts but breaks the form heads",
       "cd \"$(dirname \"$2\")\" && for f in *.dfm; do printf 'x%s' \"$(cat \"$f\")\" > \"$f\"; done; exit 0"},
      {"puts links to another file in their place",
       "cd \"$(dirname \"$2\")\" && for f in *; do rm \"$f\"; ln -s \"$0\" \"$f\"; done; exit 0"},
  };
  const std::vector<std::string> names = {"a/Unit1.pas", "b/Unit1.pas", "Main.dfm", "Bin.dfm"};
  std::vector<std::string> originals;
  for (const auto& name : names) originals.push_back(Read(name));
  for (const auto& c : cases) {
    test_support::RecordingObserver observer;
    const auto summary = ConvertAll(Inputs(names, FakeConverter(c.script)), observer);
    EXPECT_EQ(summary.converted, 0u) << c.what;
    EXPECT_EQ(summary.not_converted_paths.size(), names.size()) << c.what;
    for (std::size_t i = 0; i < names.size(); ++i)
      EXPECT_EQ(Read(names[i]), originals[i]) << c.what << ": " << names[i];
    EXPECT_EQ(WorkFolderEntries(), std::vector<std::string>{std::string(kWorkFolderMarker)}) << c.what;
    EXPECT_EQ(observer.Logs().back(), "End Convert Code") << c.what;
  }
}

TEST_F(ExternalRunTest, ConverterThatCannotStartEndsTheRunAndChangesNothing) {
  const std::string original = Read("Bin.dfm");
  try {
    ConvertAll(Inputs({"a/Unit1.pas", "Bin.dfm"}, dir_.File("nowhere") + "/"), observer_);
    FAIL() << "the run went on without its converter";
  } catch (const EConversionError& error) {
    EXPECT_NE(std::string(error.what()).find("nowhere/ConCmd/ConCmd"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Read("a/Unit1.pas"), "// " + kBig5Guo + "\r\n");
  EXPECT_EQ(Read("Bin.dfm"), original);
  EXPECT_EQ(WorkFolderEntries(), std::vector<std::string>{std::string(kWorkFolderMarker)});
  EXPECT_EQ(observer_.events.back(), "hide");
}

TEST_F(ExternalRunTest, FailingRowBeforeThePassTakesItsCopiesBack) {
  Write("Bad.dfm", "this is no form");
  EXPECT_THROW(
      ConvertAll(Inputs({"a/Unit1.pas", "Bad.dfm", "b/Unit1.pas"}, std::string(BGCONV_BIN_DIR) + "/"), observer_),
      EConversionError);
  EXPECT_EQ(Read("a/Unit1.pas"), "// " + kBig5Guo + "\r\n");
  EXPECT_EQ(Read("b/Unit1.pas"), "// " + kBig5Men + "\r\n");
  EXPECT_EQ(WorkFolderEntries(), std::vector<std::string>{std::string(kWorkFolderMarker)});
}

// A work folder that is, holds or lies in the project, or a folder of the
// user's, is refused before any file is copied or written.
TEST_F(ExternalRunTest, AWorkFolderThatCouldTouchTheUsersFilesIsRefused) {
  dir_.Write("photos/cat.jpg", "\xFF\xD8 a photo");
  const std::string ours = std::string(BGCONV_BIN_DIR) + "/";
  const struct {
    std::string folder;
    std::string why;
  } cases[] = {
      {Path("a/"), "it is the folder of " + Path("a/Unit1.pas")},
      {Path(""), "it holds the folder of " + Path("a/Unit1.pas")},
      {Path("Conver/"), "it lies inside the folder of " + Path("Main.dfm")},
      {dir_.File(""), "it holds the folder of " + Path("a/Unit1.pas")},
      {dir_.File("photos/"),
       "it holds files and was not made by bgconv (it has no .bgconv-work-folder); choose an "
       "empty folder"},
      {"work/", "it is not an absolute path"},
  };
  const std::vector<std::string> names = {"a/Unit1.pas", "Main.dfm"};
  for (const auto& c : cases) {
    auto inputs = Inputs(names, ours);
    inputs.work_folder = c.folder;
    try {
      ConvertAll(inputs, observer_);
      FAIL() << c.folder << " was used";
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot use " + c.folder + " as the work folder: " + c.why);
    }
    EXPECT_EQ(Read("a/Unit1.pas"), "// " + kBig5Guo + "\r\n") << c.folder;
    EXPECT_EQ(Read("Main.dfm"), FormText(kBig5Guo, "CHINESEBIG5_CHARSET")) << c.folder;
  }
  EXPECT_EQ(dir_.Read("photos/cat.jpg"), "\xFF\xD8 a photo");
  EXPECT_FALSE(fs::exists(Path("Conver")));
}

TEST_F(ExternalRunTest, LeftoversOfAKilledRunNeverGoBack) {
  CreateWorkFolder(dir_.File("work"));
  dir_.Write("work/Unit1.pas", "a stale copy of an older Unit1.pas");
  ConvertAll(Inputs({"a/Unit1.pas"}, std::string(BGCONV_BIN_DIR) + "/"), observer_);
  EXPECT_EQ(Read("a/Unit1.pas"), "// " + kGbGuo + "\r\n");
  EXPECT_EQ(WorkFolderEntries(), std::vector<std::string>{std::string(kWorkFolderMarker)});
}

TEST_F(ExternalRunTest, AConverterThatHangsIsEndedAndEveryFileKeepsItsOriginal) {
  const std::string pid_file = dir_.File("helper.pid");
  auto inputs = Inputs({"a/Unit1.pas", "Main.dfm"}, FakeConverter("sleep 300 & echo $! > " + pid_file + "; wait"));
  inputs.timeout = std::chrono::seconds(1);
  const auto started = std::chrono::steady_clock::now();
  try {
    ConvertAll(inputs, observer_);
    FAIL() << "the run waited for the converter";
  } catch (const EConversionError& error) {
    EXPECT_NE(std::string(error.what()).find("did not finish within 1 seconds and was ended"), std::string::npos)
        << error.what();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(Read("a/Unit1.pas"), "// " + kBig5Guo + "\r\n");
  EXPECT_EQ(Read("Main.dfm"), FormText(kBig5Guo, "CHINESEBIG5_CHARSET"));
  // What the converter started was ended with it (gone, or a zombie); a
  // killed process may take a moment to go.
  const std::string pid = dir_.Read("helper.pid").substr(0, dir_.Read("helper.pid").find('\n'));
  const auto state_of = [&pid] {
    std::FILE* stat = std::fopen(("/proc/" + pid + "/stat").c_str(), "r");
    if (stat == nullptr) return std::string();
    char buffer[256] = {};
    std::fread(buffer, 1, sizeof buffer - 1, stat);
    std::fclose(stat);
    const std::string text = buffer;
    return text.substr(text.rfind(')') + 2, 1);
  };
  std::string state = state_of();
  for (int i = 0; i < 100 && !state.empty() && state != "Z"; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    state = state_of();
  }
  EXPECT_TRUE(state.empty() || state == "Z") << "pid " << pid << " state " << state;
}

}  // namespace
}  // namespace bgconv
