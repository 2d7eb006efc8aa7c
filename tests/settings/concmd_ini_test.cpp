#include "settings/concmd_ini.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "settings/settings.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

TEST(ConCmdIni, DefaultsAndStoredValues) {
  test_support::TempDir dir;
  EXPECT_EQ(LoadConCmdIni(dir.File("ConCmd.ini")), ConCmdOptions{});
  EXPECT_EQ(ConCmdOptions{}.ignore_masks.substr(0, 18), "*.exe,*.dll,*.com,");

  const auto path = dir.Write("ConCmd.ini", "[data]\nignore=*.bak\nFIXHTMLCHARSET=0\nHtmlType=*.htm\n");
  EXPECT_EQ(LoadConCmdIni(path), (ConCmdOptions{"*.bak", false, "*.htm"}));
}

TEST(ConCmdIni, SaveWritesTheFiveKeysInOrder) {
  test_support::TempDir dir;
  SaveConCmdIni(dir.File("ConCmd.ini"), {"*.exe", false, "*.asp"});
  EXPECT_EQ(dir.Read("ConCmd.ini"),
            "[Data]\r\nAgegbfix=762576896\r\nAgeb5fix=762576896\r\nIgnore=*.exe\r\nFixHtmlCharset=0\r\n"
            "HtmlType=*.asp\r\n\r\n");

  // ConCmd's own keys survive, the five are replaced where they stand.
  const auto path = dir.Write("Other.ini", "[Data]\nIgnore=old\nOwn=1\n[Win]\nx=2\n");
  SaveConCmdIni(path, {});
  EXPECT_EQ(dir.Read("Other.ini"),
            "[Data]\r\nIgnore=" + std::string(kDefaultIgnoreMasks) +
                "\r\nOwn=1\r\nAgegbfix=762576896\r\nAgeb5fix=762576896\r\nFixHtmlCharset=1\r\nHtmlType=" +
                std::string(kDefaultHtmlTypes) + "\r\n\r\n[Win]\r\nx=2\r\n\r\n");
}

TEST(ConCmdIni, ReadmesBesideTheIniAsTheirBytes) {
  test_support::TempDir dir;
  const char bytes[] = "\xA4\xA4\xA4\xE5\r\nline\0two";
  const std::string big5(bytes, sizeof bytes - 1);
  dir.Write("ConCmd/readme_big5.txt", big5);
  const auto readmes = LoadConCmdReadmes(dir.File("ConCmd/ConCmd.ini"));
  EXPECT_EQ(readmes.big5, big5);
  EXPECT_EQ(readmes.gb, "") << "a missing readme is an empty page";
}

TEST(ConCmdIni, NotVocabularyReachesTheEngineParameterAtTheNextStart) {
  test_support::TempDir dir;
  const SettingsContext context{dir.path().string() + "/", DesignFonts(), '/'};
  const auto settings_path = dir.Write("bgconv.ini", "[cpOption]\nConvertEngine=1\n");

  EXPECT_EQ(LoadEngineSetup(settings_path, "/default/ConCmd.exe"), (EngineSetup{"/default/ConCmd.exe", "", false}));

  // The setup dialog closes with "Not Vocabulary Convert" ticked.
  SaveEngineSetup(settings_path, {"/opt/ConCmd.exe", VocabularySwitch(true), true});
  EXPECT_EQ(LoadEngineSetup(settings_path, "/default/ConCmd.exe"), (EngineSetup{"/opt/ConCmd.exe", "/f:d", true}));
  auto settings = LoadSettings(settings_path, context);
  EXPECT_EQ(settings.engine_path, "/opt/ConCmd.exe");
  EXPECT_EQ(settings.engine_parameter, "/f:d");

  // Unticked, the parameter is gone again.
  SaveEngineSetup(settings_path, {"/opt/ConCmd.exe", VocabularySwitch(false), false});
  settings = LoadSettings(settings_path, context);
  EXPECT_EQ(settings.engine_parameter, "");
  EXPECT_TRUE(TMemIniFile(settings_path).HasKey("cpOption", "ConvertEngine")) << "other keys are kept";
}

}  // namespace
}  // namespace bgconv
