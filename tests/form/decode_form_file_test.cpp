#include "form/decode_form_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "form/stream_form.h"
#include "platform/errors.h"
#include "support/form_stream_writer.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using test_support::FormStreamWriter;

TEST(DetectStreamForm, LooksAtTheFirstFourBytes) {
  struct Case {
    std::string bytes;
    TStreamForm form;
  };
  const Case cases[] = {
      {"\xFF", kBinaryForm},
      {"TPF0", kBinaryForm},
      {"TPF", kUnknownForm},
      {"object", kTextForm},
      {"inherited", kTextForm},
      {"Inline", kTextForm},
      {"Object", kTextForm},
      {" ", kTextForm},
      {"\t", kTextForm},
      {"\v", kTextForm},
      {"\r\n", kTextForm},
      {"\n", kUnknownForm},
      {"\xEF\xBB\xBFobject", kUnknownForm},
      {"", kUnknownForm},
      {"end", kUnknownForm},
  };
  for (const auto& c : cases) {
    ByteStream stream(c.bytes);
    EXPECT_EQ(DetectStreamForm(stream), c.form) << c.bytes;
    EXPECT_EQ(stream.Position(), 0u);
  }
}

TEST(SkipResourceHeader, ReadsResourceNamesOfAnyLength) {
  for (const std::size_t length : {0u, 1u, 76u, 77u, 78u, 200u, 1000u}) {
    const std::string file = test_support::ResourceHeader(std::string(length, 'N'), 4) + "TPF0";
    ByteStream stream(file);
    SkipResourceHeader(stream);
    EXPECT_EQ(stream.Read(4), "TPF0") << length;
  }
}

TEST(SkipResourceHeader, RefusesAWrongMarkerOrType) {
  const std::string good = test_support::ResourceHeader("TFORM1", 4) + "TPF0";
  for (const std::size_t at : {0u, 1u, 2u}) {
    std::string file = good;
    file[at] = static_cast<char>(file[at] + 1);
    ByteStream stream(file);
    EXPECT_THROW(SkipResourceHeader(stream), EInvalidImage) << at;
  }
}

TEST(DecodeForm, TextFormsComeBackByteForByte) {
  const std::string texts[] = {
      "object Form1: TForm1\r\nend\r\n",
      "object Form1: TForm1\nend",
      "object Form1: TForm1\rend\r",
      std::string("  object X\0\xFF\xA4trailing", 20),
      "\r\n\r\n",
  };
  for (const auto& text : texts) EXPECT_EQ(DecodeFormBytes(text), text);
}

TEST(DecodeForm, NeitherFormIsAnInvalidImage) {
  const std::string bad[] = {"", "\nobject A: T\nend\n", "\xEF\xBB\xBFobject A: T\r\nend\r\n", "end",
                             "TPF0\x06TForm1\x05"
                             "Form1\x00\x00"};
  for (const auto& bytes : bad) {
    try {
      DecodeFormBytes(bytes);
      ADD_FAILURE() << bytes << ": no error";
    } catch (const EInvalidImage& error) {
      EXPECT_STREQ(error.what(), "Invalid stream format");
    }
  }
}

TEST(DecodeForm, ResourceNameLongerThan76Bytes) {
  FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").End().End();
  const std::string name(120, 'N');
  EXPECT_EQ(DecodeFormBytes(test_support::BinaryFormFile(stream, name)), "object Form1: TForm1\r\nend\r\n");
}

TEST(DecodeFormFile, ReadsBinaryAndTextFiles) {
  test_support::TempDir dir;
  FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").Property("Caption").WideString(u"\u4F60").End().End();
  const auto binary = dir.Write("binary.dfm", test_support::BinaryFormFile(stream));
  const auto text = dir.Write("text.dfm", "object Form1: TForm1\nend\n");
  EXPECT_EQ(DecodeFormFile(binary), "object Form1: TForm1\r\n  Caption = #20320\r\nend\r\n");
  EXPECT_EQ(DecodeFormFile(text), "object Form1: TForm1\nend\n");
}

TEST(DecodeFormFile, FailsToOpenMissingLockedOrFolder) {
  test_support::TempDir dir;
  const auto path = dir.Write("Unit1.dfm", "object Form1: TForm1\r\nend\r\n");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);  // any lock excludes the decoder
  for (const auto& target : {dir.File("missing.dfm"), path, dir.path().string()}) {
    try {
      DecodeFormFile(target);
      ADD_FAILURE() << target << ": no error";
    } catch (const EFOpenError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot open file " + target);
    }
  }
  ::close(holder);
  EXPECT_NO_THROW(DecodeFormFile(path)) << "the lock is gone with its holder";
}

}  // namespace
}  // namespace bgconv
