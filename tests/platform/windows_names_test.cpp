#include "platform/windows_names.h"
#include "platform/ansi_codepage.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

// 許 is B3 5C in Big5: its trail byte is the backslash.
const std::string kXu = "\xB3\x5C";

TEST(WindowsNames, BackslashesBecomeSeparatorsOutsideDoubleByteCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"Sub\\Unit2.pas", "Sub/Unit2.pas"},
      {"..\\Common\\Tools.pas", "../Common/Tools.pas"},
      {kXu + ".pas", kXu + ".pas"},
      {"A\\" + kXu + "\\b.pas", "A/" + kXu + "/b.pas"},
      {kXu + kXu + "\\x", kXu + kXu + "/x"},
      {"\\", "/"},
      {"plain", "plain"},
  };
  for (const auto& [windows, native] : cases) EXPECT_EQ(ToNativeSeparators(windows), native) << windows;
}

TEST(WindowsNames, CaseIsIgnoredForSingleByteCharactersOnly) {
  struct Case {
    std::string a, b;
    bool same;
  };
  const Case cases[] = {
      {"Unit1.pas", "UNIT1.PAS", true},
      {"ras.pas", "Ras.Pas", true},
      {"Unit1.pas", "Unit1.pa", false},
      {"Unit1.pas", "Unit2.pas", false},
      {"\xA4\x61.pas", "\xA4\x61.PAS", true},
      // The trail bytes 0x61 'a' and 0x41 'A' make two different characters.
      {"\xA4\x61", "\xA4\x41", false},
      {"", "", true},
  };
  for (const auto& c : cases) EXPECT_EQ(SameTextIgnoringCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(WindowsNames, ResolvesAsWindowsWould) {
  test_support::TempDir dir;
  const std::string root = dir.path().string() + "/";
  dir.Write("Unit1.pas", "");
  dir.Write("RAS.PAS", "");
  dir.Write("Sub/Unit2.pas", "");
  dir.Write("Common/Tools.pas", "");
  dir.Write(kXu + "/" + kXu + ".pas", "");
  fs::create_directory(dir.File("Folder.pas"));

  struct Case {
    std::string name;
    std::optional<std::string> found;  // relative to the folder
  };
  const Case cases[] = {
      {"Unit1.pas", "Unit1.pas"},
      {"Ras.pas", "RAS.PAS"},
      {"Sub\\Unit2.pas", "Sub/Unit2.pas"},
      {"SUB\\UNIT2.PAS", "Sub/Unit2.pas"},
      {"Sub\\..\\common\\tools.pas", "Sub/../Common/Tools.pas"},
      {kXu + "\\" + kXu + ".PAS", kXu + "/" + kXu + ".pas"},
      {"Unit3.pas", std::nullopt},
      {"Sub\\Unit1.pas", std::nullopt},
      {"Folder.pas", std::nullopt},  // a folder is not a file
      {"FOLDER.PAS", std::nullopt},
      {"", std::nullopt},
  };
  NameResolver resolver;
  for (const auto& c : cases) {
    const auto found = resolver.Resolve(root, c.name);
    if (!c.found) {
      EXPECT_FALSE(found) << c.name << " gave " << found.value_or("");
    } else {
      EXPECT_EQ(found.value_or("(none)"), root + *c.found) << c.name;
    }
  }
  // An absolute name stands after the folder too: it never leaves it.
  EXPECT_FALSE(resolver.Resolve("/elsewhere/", root + "ras.pas"));
  EXPECT_EQ(resolver.Resolve(root, "\\Sub\\unit2.PAS").value_or("(none)"), root + "/Sub/Unit2.pas");
  EXPECT_EQ(resolver.ResolvePath(root + "Sub/unit2.PAS").value_or("(none)"), root + "Sub/Unit2.pas");
}

TEST(WindowsNames, OfTwoSpellingsTheExactOneWinsThenNameOrder) {
  test_support::TempDir dir;
  const std::string root = dir.path().string() + "/";
  dir.Write("unit1.pas", "");
  dir.Write("UNIT1.PAS", "");
  NameResolver resolver;
  EXPECT_EQ(*resolver.Resolve(root, "unit1.pas"), root + "unit1.pas");
  EXPECT_EQ(*resolver.Resolve(root, "UNIT1.PAS"), root + "UNIT1.PAS");
  EXPECT_EQ(*resolver.Resolve(root, "Unit1.pas"), root + "UNIT1.PAS");
}

}  // namespace
}  // namespace bgconv
