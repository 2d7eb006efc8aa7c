#include "form/read_form_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "form/decode_form_file.h"
#include "platform/errors.h"
#include "support/form_stream_writer.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

// Keeps what it is sent, as the window's log would show it.
class RecordingChannel : public DebugChannel {
 public:
  void Send(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

std::string Fixture(std::string_view name) {
  return std::string(BGCONV_SOURCE_DIR) + "/tests/form/fixtures/" + std::string(name);
}

std::string ReadFixture(std::string_view name) {
  std::ifstream in(Fixture(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FormFileTest : public ::testing::Test {
 protected:
  const AnsiCodePage big5_{kCodePageBig5};
  const AnsiCodePage gb2312_{kCodePageGb2312};
  RecordingChannel debug_;
  test_support::TempDir dir_;
};

TEST_F(FormFileTest, CommittedFixtures) {
  EXPECT_EQ(DecodeFormFile(Fixture("main_form.dfm")), ReadFixture("main_form.txt"));
  EXPECT_EQ(LoadFormText(Fixture("main_form.dfm"), big5_, debug_), ReadFixture("main_form.950.txt"));
  EXPECT_EQ(LoadFormText(Fixture("text_form.dfm"), gb2312_, debug_), ReadFixture("text_form.936.txt"));
  EXPECT_TRUE(debug_.texts.empty());
}

TEST_F(FormFileTest, BinaryCaptionsComeOutAsCodePageBytes) {
  test_support::FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").Property("Caption").WideString(u"\u4F60\u597D").End().End();
  const auto path = dir_.Write("Unit1.dfm", test_support::BinaryFormFile(stream));
  const auto lines = ReadFormFile(path, gb2312_, debug_);
  ASSERT_TRUE(lines.has_value());
  ASSERT_EQ(lines->Count(), 3u);
  EXPECT_EQ(lines->Get(1), "  Caption = '\xC4\xE3\xBA\xC3'");
}

TEST_F(FormFileTest, TextFormsGetCrLfAndEndAtANul) {
  const auto lf = dir_.Write("lf.dfm", "object A: TA\n  B = 1\nend");
  EXPECT_EQ(LoadFormText(lf, gb2312_, debug_), "object A: TA\r\n  B = 1\r\nend\r\n");
  const auto nul = dir_.Write("nul.dfm", std::string("object A: TA\r\n  B = #20320\r\n\0end\r\n", 34));
  EXPECT_EQ(LoadFormText(nul, gb2312_, debug_), "object A: TA\r\n  B = '\xC4\xE3'\r\n");
}

TEST_F(FormFileTest, FailuresGoToTheDebugChannelOnce) {
  struct Case {
    std::string name;
    std::string bytes;
    std::string message;
  };
  std::string twelve_lines;
  for (int i = 1; i < 12; ++i) twelve_lines += i == 1 ? "object A: TA\r\n" : "  B = 1\r\n";
  const Case cases[] = {
      {"empty.dfm", "", "Invalid stream format"},
      {"open.dfm", twelve_lines + "  C = 'open\r\nend\r\n", "Invalid string constant on line 12"},
      {"cut.dfm", test_support::ResourceHeader("T", 9) + "TPF0\x06TForm1", "Stream read error"},
  };
  for (const auto& c : cases) {
    const auto path = dir_.Write(c.name, c.bytes);
    debug_.texts.clear();
    EXPECT_FALSE(ReadFormFile(path, gb2312_, debug_).has_value()) << c.name;
    ASSERT_EQ(debug_.texts.size(), 1u) << c.name;
    EXPECT_EQ(debug_.texts[0], c.message + "  " + path);
  }
}

TEST_F(FormFileTest, LoadFormTextFailsWithTheMessageAndThePath) {
  auto failure = [this](const std::string& path) -> std::string {
    try {
      LoadFormText(path, big5_, debug_);
    } catch (const EFormFileError& error) {
      return error.what();
    }
    return "no error";
  };
  const auto missing = dir_.File("missing.dfm");
  EXPECT_EQ(failure(missing), missing + ": Cannot open file " + missing);
  ASSERT_EQ(debug_.texts.size(), 1u);
  EXPECT_EQ(debug_.texts[0], "Cannot open file " + missing + "  " + missing);
  const auto bad = dir_.Write("bad.dfm", "\xEF\xBB\xBFobject A: TA\r\nend\r\n");
  EXPECT_EQ(failure(bad), bad + ": Invalid stream format");
}

TEST_F(FormFileTest, ALockedFormIsNotRead) {
  const auto path = dir_.Write("Unit1.dfm", "object A: TA\r\nend\r\n");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_FALSE(ReadFormFile(path, big5_, debug_).has_value());
  ::close(holder);
  EXPECT_TRUE(ReadFormFile(path, big5_, debug_).has_value());
  ASSERT_EQ(debug_.texts.size(), 1u);
  EXPECT_EQ(debug_.texts[0], "Cannot open file " + path + "  " + path);
}

}  // namespace
}  // namespace bgconv
