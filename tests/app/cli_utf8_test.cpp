// bgconv convert --to utf8: a Big5 or GB2312 project moved to Unicode.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "form/decode_form_file.h"
#include "form/parser.h"
#include "platform/ansi_codepage.h"
#include "platform/line_form.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using test_support::RunProgram;

const std::string kBom = "\xEF\xBB\xBF";

// The values of a form text's string tokens, byte strings decoded from Big5:
// the characters a form shows.
std::vector<std::u16string> FormStrings(const std::string& form_text) {
  const AnsiCodePage big5(kCodePageBig5);
  TParser parser(form_text, big5);
  std::vector<std::u16string> values;
  std::size_t undecodable = 0;
  while (parser.ScanToken() != kEndOfText) {
    if (parser.Token() == kWideStringToken) values.push_back(parser.TokenWideValue());
    if (parser.Token() == kStringToken)
      values.push_back(DecodeCodePage(parser.TokenSource(), kCodePageBig5, undecodable));
  }
  return values;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsForm(const fs::path& path) { return path.extension() == ".dfm"; }

TEST(CliUtf8, ConvertsTheBundledSampleToTheSameCharacters) {
  test_support::TempDir dir;
  fs::copy(std::string(BGCONV_SOURCE_DIR) + "/examples/project", dir.File("sample"), fs::copy_options::recursive);
  std::map<fs::path, std::string> originals;
  for (const auto& entry : fs::recursive_directory_iterator(dir.File("sample")))
    if (entry.is_regular_file()) originals[entry.path()] = dir.Read(entry.path().string());

  const auto result = RunProgram("bgconv", {"convert", "--to", "utf8", "--from", "big5", "--keep-original",
                                            "--no-backup", "--quiet", dir.File("sample/Sample.dpr")});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  int forms = 0;
  for (const auto& [path, original] : originals) {
    const std::string converted = dir.Read(path.string());
    EXPECT_EQ(dir.Read(path.string() + ".Big"), original) << path;
    if (IsForm(path)) {
      ++forms;
      EXPECT_TRUE(IsAscii(converted)) << path;
      EXPECT_EQ(FormStrings(converted), FormStrings(DecodeFormBytes(original))) << path;
      EXPECT_NE(converted.find("Font.Charset = CHINESEBIG5_CHARSET\r\n"), std::string::npos) << path;
    } else {
      std::size_t undecodable = 0;
      const std::u16string characters = DecodeCodePage(NormalizeLineBreaks(original), kCodePageBig5, undecodable);
      EXPECT_EQ(undecodable, 0u) << path;
      ASSERT_EQ(converted.substr(0, 3), kBom) << path;
      EXPECT_EQ(Utf8ToWide(converted.substr(3)), characters) << path;
    }
  }
  EXPECT_EQ(forms, 2) << "a text form and a binary one";

  // A second run changes nothing, also where it keeps originals.
  std::map<fs::path, std::string> converted;
  for (const auto& entry : fs::recursive_directory_iterator(dir.File("sample")))
    if (entry.is_regular_file()) converted[entry.path()] = dir.Read(entry.path().string());
  const auto again = RunProgram("bgconv", {"convert", "--to", "utf8", "--from", "big5", "--keep-original",
                                           "--no-backup", dir.File("sample/Sample.dpr")});
  EXPECT_EQ(again.exit_code, 0) << again.err;
  EXPECT_NE(again.err.find("Unchanged  " + dir.File("sample/MainForm.dfm") + ": already as the conversion writes it\n"),
            std::string::npos)
      << again.err;
  for (const auto& [path, bytes] : converted) EXPECT_EQ(dir.Read(path.string()), bytes) << path;
}

TEST(CliUtf8, LeavesFilesNotInTheSourceCodePageAndLogsWhatDoesNotDecode) {
  test_support::TempDir dir;
  const std::string gb = dir.Write("Gb.pas", "// \xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\xB5\xC4\xC4\xDA\xC8\xDD\r\n");
  const std::string utf8 = dir.Write("Utf8.pas", kBom + "// 中文說明\r\n");
  const std::string cut = dir.Write("Cut.pas", "// \xA4\xA4\xA4\xE5\n// \xA4");
  const std::string form =
      dir.Write("Form.dfm",
                "object F: TF\r\n  Caption = '\xA4\xA4'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n"
                "  ParentFont = False\r\nend\r\n");
  const auto result = RunProgram("bgconv", {"convert", "--to", "utf8", "--from", "big5", "--no-bom", "--overwrite",
                                            "--no-backup", "--change-default-charset", gb, utf8, cut, form});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(result.err.find("bgconv: left as it was, already GB2312: " + gb + "\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("bgconv: left as it was, UTF-8: " + utf8 + "\n"), std::string::npos);
  EXPECT_NE(result.err.find("Undecodable  " + cut + ": 1 byte sequence not in code page 950, written as U+FFFD\n"),
            std::string::npos);
  EXPECT_EQ(dir.Read("Gb.pas"), "// \xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE\xB5\xC4\xC4\xDA\xC8\xDD\r\n");
  EXPECT_EQ(dir.Read("Utf8.pas"), kBom + "// 中文說明\r\n");
  EXPECT_EQ(dir.Read("Cut.pas"), "// 中文\r\n// \uFFFD\r\n") << "no byte order mark with --no-bom";
  EXPECT_EQ(
      dir.Read("Form.dfm"),
      "object F: TF\r\n  Caption = #20013\r\n  Font.Charset = DEFAULT_CHARSET\r\n  ParentFont = False\r\nend\r\n");
}

TEST(CliUtf8, ConvertsTheScriptAndRefusesIncompleteOptions) {
  test_support::TempDir dir;
  const std::string unit = dir.Write("U.pas", "// \xCD\xB7\xB7\xA2\r\n");  // 头发 in GB2312
  auto result = RunProgram("bgconv", {"convert", "--to", "utf8", "--from", "gb", "--script", "traditional",
                                      "--overwrite", "--no-backup", "--quiet", unit});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(dir.Read("U.pas"), kBom + "// 頭髮\r\n");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--to", "utf8"},
                                               {"--to", "gb", "--from", "big5"},
                                               {"--to", "utf8", "--from", "big5", "--engine", "external"},
                                               {"--to", "utf8", "--from", "utf16"},
                                               {"--to", "utf8", "--from", "gb", "--script", "cantonese"}}) {
    std::vector<std::string> command = {"convert"};
    command.insert(command.end(), args.begin(), args.end());
    command.push_back(unit);
    EXPECT_EQ(RunProgram("bgconv", command).exit_code, 2) << args.back();
  }
}

TEST(CliUtf8, TextWritesUtf8ToStandardOutput) {
  auto result = RunProgram("bgconv", {"text", "--to", "utf8", "--from", "big5"}, "a\xA4\xA4\xA4\xE5\n\xA4");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, kBom + "a中文\n\uFFFD") << "line ends as they are";
  EXPECT_EQ(result.err, "bgconv: 1 byte sequence not in code page 950, written as U+FFFD\n");
  result = RunProgram("bgconv", {"text", "--to=utf8", "--from=gb", "--no-bom", "--script=traditional"},
                      "\xCD\xB7\xB7\xA2\r\n");
  EXPECT_EQ(result.out, "頭髮\r\n") << result.err;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"text", "--to", "utf8"},
                                               {"text", "--to", "gb", "--no-bom"},
                                               {"text", "--to", "utf8", "--from", "gb", "--fix-charset"}})
    EXPECT_EQ(RunProgram("bgconv", args, "").exit_code, 2) << args.back();
}

}  // namespace
}  // namespace bgconv
