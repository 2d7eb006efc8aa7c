#include "settings/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/errors.h"
#include "settings/concmd_ini.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

SettingsContext ContextIn(const test_support::TempDir& dir) { return {dir.path().string() + "/", DesignFonts(), '/'}; }

// What the window does between start and exit when the user changes
// nothing: load, set the preview charsets by the direction, save.
void RunUntouched(const std::string& path, const SettingsContext& context) {
  Settings settings = LoadSettings(path, context);
  SetPreviewCharsets(settings.fonts, settings.code_direction);
  SaveSettings(path, settings);
}

TEST(Settings, FirstRunFileComesOutByteForByte) {
  test_support::TempDir dir;
  const SettingsContext context{"C:\\Tools\\", DesignFonts(), '\\'};
  RunUntouched(dir.File("Tools.ini"), context);
  EXPECT_EQ(dir.Read("Tools.ini"),
            "[cpView]\r\n"
            "FileListFont=\xB2\xD3\xA9\xFA\xC5\xE9,9,,0,clWindowText,136\r\n"
            "DebugListFont=\xB2\xD3\xA9\xFA\xC5\xE9,9,,0,clWindowText,136\r\n"
            "memo1Font=\xB2\xD3\xA9\xFA\xC5\xE9,9,,0,clWindowText,134\r\n"
            "memo2Font=\xB2\xD3\xA9\xFA\xC5\xE9,9,,0,clWindowText,136\r\n"
            "\r\n"
            "[cpOption]\r\n"
            "DefLan=1\r\n"
            "AddConfigFile=1\r\n"
            "BackUporiginal=0\r\n"
            "ConvertEngine=0\r\n"
            "Overwrite=1\r\n"
            "BackupMould=1\r\n"
            "WorkConvertDir=C:\\Tools\\Conver\\\r\n"
            "BackupDir=C:\\Tools\\Backup\\\r\n"
            "ChagerCharset=1\r\n"
            "\r\n"
            "[cpEng]\r\n"
            "FilePath=\r\n"
            "\r\n");
}

TEST(Settings, LoadsEveryKey) {
  test_support::TempDir dir;
  const auto path = dir.Write("bgconv.ini",
                              "; hand-edited\n"
                              "[CPVIEW]\n"
                              "fileListFont=Arial,10,B,1,clRed,134\n"
                              "memo2Font=Courier;11\n"
                              "[cpoption]\n"
                              "DEFLAN= 0x0 \n"
                              "AddConfigFile=true\n"
                              "BackUporiginal=-1\n"
                              "ConvertEngine=$1\n"
                              "Overwrite=0\n"
                              "BackupMould=0\n"
                              "WorkConvertDir=/w/work/\n"
                              "BackupDir=/w/back/\n"
                              "ChagerCharset=0\n"
                              "[cpEng]\n"
                              "FilePath=/opt/concmd/ConCmd.exe\n"
                              "NotVocabulary=1\n"
                              "Parameter=/f:d\n");
  const auto context = ContextIn(dir);
  Settings expected = DefaultSettings(context);
  expected.fonts.file_list = {"Arial", 10, {true, false, false, false}, FontPitch::kVariable, 0x0000FF, 134};
  expected.fonts.memo2.name = "Courier";
  expected.fonts.memo2.size = 11;
  expected.code_direction = Direction::kBigToGb;
  expected.add_config_files = true;  // "true" is no number: the default
  expected.backup_original = true;
  expected.convert_engine = Engine::kConCmd;
  expected.overwrite = OverwriteMode::kChangeExtension;
  expected.backup_mould = BackupMode::kCompression;
  expected.work_folder = "/w/work/";
  expected.backup_folder = "/w/back/";
  expected.change_default_charset = true;
  expected.engine_path = "/opt/concmd/ConCmd.exe";
  expected.not_vocabulary = true;
  expected.engine_parameter = "/f:d";
  EXPECT_EQ(LoadSettings(path, context), expected);
}

TEST(Settings, EngineKeysCountOnlyWithConCmd) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  struct Case {
    std::string_view why;
    std::string text;
    std::string engine_path;
    bool not_vocabulary;
    std::string parameter;
  };
  const Case cases[] = {
      {"built-in engine: nothing read",
       "[cpOption]\nConvertEngine=0\n[cpEng]\nFilePath=/x\nNotVocabulary=1\nParameter=/f:d\n", "", false, ""},
      {"ConCmd, no keys: default path", "[cpOption]\nConvertEngine=1\n", DefaultEnginePath(context), false, ""},
      {"parameter only with NotVocabulary", "[cpOption]\nConvertEngine=1\n[cpEng]\nFilePath=/x\nParameter=/f:d\n", "/x",
       false, ""},
      {"an engine out of range is the built-in one", "[cpOption]\nConvertEngine=2\n[cpEng]\nFilePath=/x\n", "", false,
       ""},
  };
  for (const auto& c : cases) {
    const auto settings = LoadSettings(dir.Write("bgconv.ini", c.text), context);
    EXPECT_EQ(settings.engine_path, c.engine_path) << c.why;
    EXPECT_EQ(settings.not_vocabulary, c.not_vocabulary) << c.why;
    EXPECT_EQ(settings.engine_parameter, c.parameter) << c.why;
  }
  EXPECT_EQ(DefaultEnginePath(context), dir.path().string() + "/ConCmd/ConCmd");
}

TEST(Settings, UnusableValuesReadAsDefaults) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  const auto path = dir.Write("bgconv.ini",
                              "[cpOption]\nDefLan=one\nOverwrite=2\nBackupMould=-1\nChagerCharset=5\n"
                              "WorkConvertDir=\nBackupDir=/w/back\n");
  const auto settings = LoadSettings(path, context);
  const auto defaults = DefaultSettings(context);
  EXPECT_EQ(settings.code_direction, defaults.code_direction);
  EXPECT_EQ(settings.overwrite, defaults.overwrite);
  EXPECT_EQ(settings.backup_mould, defaults.backup_mould);
  EXPECT_EQ(settings.change_default_charset, defaults.change_default_charset);
  EXPECT_EQ(settings.work_folder, defaults.work_folder) << "an empty folder is the default one";
  EXPECT_EQ(settings.backup_folder, "/w/back/") << "a folder ends in a separator";
}

TEST(Settings, SaveKeepsOtherKeysAndRewritesInPlace) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  const auto path = dir.Write("bgconv.ini",
                              "; comment\r\n[cpEng]\r\nParameter=/f:d\r\nNotVocabulary=1\r\n"
                              "[cpOption]\r\nMine=kept\r\ndeflan=0\r\n");
  Settings settings = LoadSettings(path, context);
  settings.code_direction = Direction::kGbToBig;
  SaveSettings(path, settings);
  const std::string text = dir.Read("bgconv.ini");
  EXPECT_EQ(text.find("; comment"), std::string::npos);
  EXPECT_EQ(
      text.rfind(
          "[cpEng]\r\nParameter=/f:d\r\nNotVocabulary=1\r\nFilePath=\r\n\r\n[cpOption]\r\nMine=kept\r\nDefLan=1\r\n",
          0),
      0u)
      << text;
  EXPECT_NE(text.find("\r\n\r\n[cpView]\r\nFileListFont="), std::string::npos) << text;
}

TEST(Settings, AnEmptyEnginePathKeepsTheStoredOne) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  const auto path = dir.Write("bgconv.ini", "[cpOption]\nConvertEngine=0\n[cpEng]\nFilePath=/opt/ConCmd.exe\n");
  RunUntouched(path, context);  // built-in engine: the path was never loaded
  EXPECT_EQ(TMemIniFile(path).ReadText("cpEng", "FilePath", "?"), "/opt/ConCmd.exe");

  Settings settings = LoadSettings(path, context);
  settings.engine_path = "/new/ConCmd.exe";  // picked while the program ran
  SaveSettings(path, settings);
  EXPECT_EQ(TMemIniFile(path).ReadText("cpEng", "FilePath", "?"), "/new/ConCmd.exe");
}

TEST(Settings, SaveAndLoadAgreeOnEveryValue) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  Settings settings = DefaultSettings(context);
  settings.fonts.debug_list = {"Mono", 7, {false, true, false, true}, FontPitch::kFixed, 0x00010203, 0};
  settings.code_direction = Direction::kBigToGb;
  settings.add_config_files = false;
  settings.backup_original = true;
  settings.convert_engine = Engine::kConCmd;
  settings.overwrite = OverwriteMode::kChangeExtension;
  settings.backup_mould = BackupMode::kCompression;
  settings.work_folder = "/tmp/w/";
  settings.backup_folder = "/tmp/b/";
  settings.change_default_charset = true;
  settings.engine_path = "/opt/ConCmd/ConCmd.exe";
  const auto path = dir.File("nested/config/bgconv.ini");  // the folder is made on save
  SaveSettings(path, settings);
  EXPECT_EQ(LoadSettings(path, context), settings);
}

TEST(Settings, FailuresNameTheFile) {
  test_support::TempDir dir;
  const auto context = ContextIn(dir);
  fs::create_directory(dir.File("bgconv.ini"));
  EXPECT_THROW(LoadSettings(dir.File("bgconv.ini"), context), EFOpenError);
  const auto below_file = dir.Write("plain", "") + "/bgconv.ini";
  try {
    SaveSettings(below_file, DefaultSettings(context));
    FAIL() << "saved below a regular file";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + below_file);
  }
}

TEST(Settings, PreviewCharsetsFollowTheDirection) {
  ViewFonts fonts = DesignFonts();
  SetPreviewCharsets(fonts, Direction::kBigToGb);
  EXPECT_EQ(fonts.memo1.charset, kBig5Charset);
  EXPECT_EQ(fonts.memo2.charset, kGb2312Charset);
  SetPreviewCharsets(fonts, Direction::kGbToBig);
  EXPECT_EQ(fonts.memo1.charset, kGb2312Charset);
  EXPECT_EQ(fonts.memo2.charset, kBig5Charset);
  EXPECT_EQ(fonts.file_list, DesignFont());
}

TEST(Settings, PlacesBesideTheProgramOrInTheUsersFolders) {
  test_support::TempDir dir;
  const std::string writable = dir.path().string() + "/";
  // Nothing can be written below a regular file, whoever runs the test.
  const std::string unwritable = dir.Write("file", "") + "/bin/";
  // An installed tree the user may write: PREFIX/bin/ and PREFIX/lib/bgconv/ConCmd/ConCmd.
  const std::string installed = dir.path().string() + "/usr/bin/";
  std::filesystem::create_directories(installed);
  dir.Write("usr/lib/bgconv/ConCmd/ConCmd", "");
  struct Case {
    std::string exe_folder;
    UserFolders user;
    ProgramPlaces expected;
  };
  const Case cases[] = {
      {writable,
       {"/cfg", "/cache", "/data", "/home/u"},
       {writable + "bgconv.ini", "", writable + "Conver/", writable + "Backup/"}},
      {unwritable,
       {"/cfg", "/cache", "/data", "/home/u"},
       {"/cfg/bgconv/bgconv.ini", "", "/cache/bgconv/Conver/", "/data/bgconv/Backup/"}},
      {unwritable,
       {"", "", "", "/home/u/"},
       {"/home/u/.config/bgconv/bgconv.ini", "", "/home/u/.cache/bgconv/Conver/",
        "/home/u/.local/share/bgconv/Backup/"}},
      {unwritable, {"", "", "", ""}, {unwritable + "bgconv.ini", "", unwritable + "Conver/", unwritable + "Backup/"}},
      {installed,
       {"/cfg", "/cache", "/data", "/home/u"},
       {"/cfg/bgconv/bgconv.ini", "", "/cache/bgconv/Conver/", "/data/bgconv/Backup/"}},
  };
  for (const auto& c : cases) {
    const ProgramPlaces places = ChoosePlaces(c.exe_folder, c.user);
    EXPECT_EQ(places.settings_path, c.expected.settings_path) << c.exe_folder << " " << c.user.config_home;
    EXPECT_EQ(places.preset_path, c.expected.preset_path);
    EXPECT_EQ(places.work_folder, c.expected.work_folder);
    EXPECT_EQ(places.backup_folder, c.expected.backup_folder);
  }
}

TEST(Settings, AnEmptyEnginePathReadsAsTheDefault) {
  test_support::TempDir dir;
  const auto path = dir.Write("bgconv.ini", "[cpOption]\r\nConvertEngine=1\r\n[cpEng]\r\nFilePath=\r\n");
  const SettingsContext context{dir.path().string() + "/", DesignFonts(), '/'};
  EXPECT_EQ(LoadSettings(path, context).engine_path, dir.path().string() + "/ConCmd/ConCmd");
}

// Installed programs find the converter of their own tree, wherever it lies.
TEST(Settings, AnInstalledTreeHasItsConverterBelowLib) {
  test_support::TempDir dir;
  std::filesystem::create_directories(dir.path() / "bin");
  dir.Write("lib/bgconv/ConCmd/ConCmd", "");
  const SettingsContext context{dir.path().string() + "/bin/", DesignFonts(), '/'};
  EXPECT_EQ(DefaultEnginePath(context), dir.path().string() + "/lib/bgconv/ConCmd/ConCmd");
}

}  // namespace
}  // namespace bgconv
