#include "workspace/project_scanner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/errors.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

namespace fs = std::filesystem;

using Names = std::vector<std::string>;

TEST(ExtractField, FieldsByNumber) {
  struct Case {
    std::string text, delimiter;
    int n;
    std::string field;
  };
  const Case cases[] = {
      {"x;y;z", ";", 0, "x;y;z"},
      {"x;y;z", ";", 1, "x"},
      {"x;y;z", ";", 2, "y"},
      {"x;y;z", ";", 3, "z"},
      {"x;y;z", ";", 4, ""},
      {"x;y;z", ";", -1, "y;z"},
      {"x;y;z", ";", -2, "z"},
      {"x;y;z", ";", -3, ""},
      {"no quote here", "'", 2, ""},
      {"one ' quote", "'", 2, " quote"},
      {"Unit1 in 'Unit1.pas' {Form1},", "'", 2, "Unit1.pas"},
      {"a'b'c'd", "'", 2, "b"},
      {"xANDyandz", "and", 2, "y"},  // the delimiter matches in any case
      {"x;y", "", 1, "x;y"},         // an empty delimiter is never found
      {"x;y", "", 2, ""},
      // 0x61 'a' is the trail byte of the first character: no delimiter there.
      {"\xB1\x61x\x61y", "a", 1, "\xB1\x61x"},
      {"\xB1\x61x\x61y", "a", 2, "y"},
      // Big5 許 (B3 5C) holds a backslash as its trail byte.
      {"\xB3\x5C\\b", "\\", 2, "b"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExtractField(c.text, c.delimiter, c.n), c.field) << c.text << " " << c.delimiter << " " << c.n;
}

LineList Lines(const Names& lines) {
  LineList list;
  for (const auto& line : lines) list.Add(line);
  return list;
}

TEST(FindKeywordLine, KeywordBeforeStopWord) {
  const LineList lines = Lines({"program Demo;", "// stop and USES here", "uses", "begin", "end."});
  struct Case {
    int start;
    std::string keyword, stop;
    bool found;
    int index;
  };
  const Case cases[] = {
      {0, "uses", "begin", true, 1},  // inside a comment, any case; the keyword wins over the stop word
      {2, "uses", "begin", true, 2},       {3, "uses", "begin", false, 3},  // stopped at the stop word
      {0, "nothing", "nowhere", false, 4},                                  // ran off the end: the last line
      {0, "", "program", false, 0},                                         // the empty keyword is never held
  };
  for (const auto& c : cases) {
    int index = -7;
    EXPECT_EQ(FindKeywordLine(lines, c.start, c.keyword, c.stop, index), c.found) << c.start << c.keyword;
    EXPECT_EQ(index, c.index) << c.start << c.keyword;
  }
  int index = -7;
  EXPECT_FALSE(FindKeywordLine(lines, 5, "end.", "x", index));
  EXPECT_EQ(index, -7) << "a start past the end leaves the index alone";
}

TEST(HoldsKeyword, WholeWordsOutsideQuotedNames) {
  struct Case {
    std::string line, keyword;
    bool held;
  };
  const Case cases[] = {
      {"uses", "uses", true},
      {"  USES Forms,", "uses", true},
      {"{ this unit uses the database }", "uses", true},
      {"begin;", "begin", true},
      {"(*begin*)", "begin", true},
      {"end.", "end.", true},
      {"  Beginner in 'Beginner.pas',", "begin", false},
      {"  BatchSend in 'BatchSend.pas' {Form1},", "end.", false},
      {"  X in 'end.pas',", "end.", false},  // inside a quoted name
      {"  X in 'a.pas' { begin }", "begin", true},
      {"{ don't } begin", "begin", true},  // one quote opens no name
      {"end.Free", "end.", false},         // the test after "end." comes after the dot
      {"begin_", "begin", false},
      {"_begin", "begin", false},
      {"2begin", "begin", false},
      {"usesx", "uses", false},
      // A5 55 is one character whose trail byte is 'U': "SES" after it is no "uses".
      {"\xA5\x55SES", "uses", false},
      // Next to a double-byte character, as in an identifier: no keyword,
      // whatever its trail byte (B1 61 ends in 'a', A4 40 in '@').
      {"\xB1\x61uses", "uses", false},
      {"\xA4\x40uses", "uses", false},
      {"begin\xA4\x40", "begin", false},
      {"\xA4\x40 uses", "uses", true},
      {"", "uses", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HoldsKeyword(c.line, c.keyword), c.held) << c.line << " / " << c.keyword;
}

// The scanner changes the current directory; every test gets it back.
class ScannerTest : public ::testing::Test {
 protected:
  ScannerTest() : saved_(fs::current_path()), root_(dir_.path().string() + "/") {}
  ~ScannerTest() override { fs::current_path(saved_); }

  std::string Write(const std::string& name, const Names& lines, const std::string& line_break = "\r\n") {
    std::string text;
    for (const auto& line : lines) text += line + line_break;
    return dir_.Write(name, text);
  }
  void Touch(const std::string& name) { dir_.Write(name, "unit x;\r\n"); }

  Names ScanDpr(const std::string& path) {
    Names names;
    ScanDprUnits(path, names);
    return names;
  }
  Names ScanDpk(const std::string& path) {
    Names names;
    ScanDpkUnits(path, names);
    return names;
  }

  fs::path saved_;
  test_support::TempDir dir_;
  std::string root_;
};

const Names kDemo = {
    "program Demo;",
    "uses",
    "  Forms,",
    "  Unit1 in 'Unit1.pas' {Form1},",
    "  Unit2 in 'Sub\\Unit2.pas' {Form2};",
    "{$R *.res}",
    "begin",
    "  Application.Run;",
    "end.",
};

TEST_F(ScannerTest, ProgramUsesClause) {
  Touch("Unit1.pas");
  Touch("Sub/Unit2.pas");
  const auto path = Write("Demo.dpr", kDemo);
  EXPECT_EQ(ScanDpr(path), (Names{"Unit1.pas", "Sub\\Unit2.pas"})) << "names stay as written";
  EXPECT_EQ(fs::current_path().string() + "/", root_) << "the project's folder becomes current";

  fs::remove(dir_.File("Sub/Unit2.pas"));
  EXPECT_EQ(ScanDpr(path), (Names{"Unit1.pas"})) << "only names of existing files";
}

TEST_F(ScannerTest, ProgramVariants) {
  Touch("Unit0.pas");
  Touch("Unit1.pas");
  Touch("App.res");
  Touch("RAS.PAS");
  struct Case {
    std::string what;
    Names lines;
    Names names;
  };
  const Case cases[] = {
      {"an entry on the uses line is not examined",
       {"program P;", "uses Unit0 in 'Unit0.pas',", "  Unit1 in 'Unit1.pas';", "begin", "end."},
       {"Unit1.pas"}},
      {"a directive quoting an existing file counts",
       {"program P;", "uses", "  Unit1 in 'Unit1.pas';", "{$R 'App.res'}", "begin", "end."},
       {"Unit1.pas", "App.res"}},
      {"a comment holding the word uses is the uses line",
       {"program P;", "{ this program uses two units }", "uses", "  Unit0 in 'Unit0.pas',", "  X in '  Unit1.pas  ';",
        "begin", "end."},
       {"Unit0.pas", "Unit1.pas"}},
      {"begin above every uses: nothing", {"program P;", "begin", "uses", "  Unit1 in 'Unit1.pas';", "end."}, {}},
      {"no begin before end.: nothing", {"program P;", "uses", "  Unit1 in 'Unit1.pas';", "end.", "begin"}, {}},
      {"names found in any letter case, listed as written",
       {"program P;", "USES", "  Ras in 'Ras.pas',", "  U in 'unit1.PAS', Missing in 'Missing.pas', E in '';", "BEGIN",
        "END."},
       {"Ras.pas", "unit1.PAS"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanDpr(Write("P.dpr", c.lines)), c.names) << c.what;
}

// Projects as the IDE writes them: unit and file names that hold a keyword
// inside them end no clause.
TEST_F(ScannerTest, NamesHoldingKeywordsEndNoClause) {
  for (const auto* name : {"Proj/BatchSend.pas", "Proj/Beginner.pas", "Proj/App.res", "Common/Tools.pas"}) Touch(name);
  struct Case {
    std::string what, file;
    Names lines;
    Names names;
  };
  const Case cases[] = {
      {"a unit named BatchSend, a shared unit, the IDE's resource line",
       "Proj/Sender.dpr",
       {"program Sender;", "", "uses", "  Forms,", "  BatchSend in 'BatchSend.pas' {BatchSendForm},",
        "  Tools in '..\\Common\\Tools.pas';", "", "{$R *.res}", "{$R 'App.res' 'App.rc'}", "", "begin",
        "  Application.Initialize;", "  Application.Run;", "end."},
       {"BatchSend.pas", "..\\Common\\Tools.pas", "App.res"}},
      {"a unit named Beginner",
       "Proj/Learn.dpr",
       {"program Learn;", "uses", "  Forms,", "  Beginner in 'Beginner.pas',", "  BatchSend in 'BatchSend.pas';",
        "begin", "end."},
       {"Beginner.pas", "BatchSend.pas"}},
      {"a file named Beginner.pas",
       "Proj/Intro.dpr",
       {"program Intro;", "uses", "  Intro in 'Beginner.pas';", "begin", "end."},
       {"Beginner.pas"}},
      {"a package whose description holds contains",
       "Proj/Send.dpk",
       {"package Send;", "{$DESCRIPTION 'Contains the send tools'}", "requires", "  rtl;", "contains",
        "  BatchSend in 'BatchSend.pas';", "end."},
       {"BatchSend.pas"}},
  };
  for (const auto& c : cases) {
    for (const std::string line_break : {"\r\n", "\n"}) {
      const std::string path = Write(c.file, c.lines, line_break);
      EXPECT_EQ(c.file.back() == 'k' ? ScanDpk(path) : ScanDpr(path), c.names)
          << c.what << (line_break == "\n" ? " (LF)" : "");
    }
  }
}

TEST_F(ScannerTest, PackageContainsClause) {
  Touch("UnitA.pas");
  Touch("UnitB.pas");
  struct Case {
    std::string what;
    Names lines;
    Names names;
  };
  const Case cases[] = {
      {"the example package",
       {"package Pkg;", "requires", "  rtl,", "  vcl;", "contains", "  UnitA in 'UnitA.pas';", "end."},
       {"UnitA.pas"}},
      {"quoted text above the requires line is not examined",
       {"package Pkg;", "{$DESCRIPTION 'UnitB.pas'}", "requires", "  rtl;", "contains", "  UnitA in 'UnitA.pas',",
        "  UnitB in 'UnitB.pas';", "end."},
       {"UnitA.pas", "UnitB.pas"}},
      {"no requires line: nothing", {"package Pkg;", "contains", "  UnitA in 'UnitA.pas';", "end."}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanDpk(Write("Pkg.dpk", c.lines)), c.names) << c.what;
}

TEST_F(ScannerTest, PackageWithoutFolderIsNotRead) {
  fs::current_path(dir_.path());
  EXPECT_EQ(ScanDpk("NoSuchPackage.dpk"), Names{});
}

TEST_F(ScannerTest, ProgramWithoutFolderIsReadFromTheCurrentOne) {
  Touch("Unit1.pas");
  Write("Demo.dpr", kDemo);
  fs::current_path(dir_.path());
  EXPECT_EQ(ScanDpr("Demo.dpr"), (Names{"Unit1.pas"}));
}

TEST_F(ScannerTest, FailuresNameTheFile) {
  try {
    ScanDpr(root_ + "Missing.dpr");
    FAIL() << "a missing project must fail";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + root_ + "Missing.dpr");
  }
  EXPECT_THROW(ScanDpr(root_ + "NoFolder/Demo.dpr"), EInOutError);
}

}  // namespace
}  // namespace bgconv
