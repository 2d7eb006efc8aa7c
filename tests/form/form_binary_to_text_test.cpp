#include "form/form_binary_to_text.h"

#include <gtest/gtest.h>

#include <functional>

#include "form/decode_form_file.h"
#include "platform/errors.h"
#include "support/form_stream_writer.h"

namespace bgconv {
namespace {

using test_support::BinaryFormFile;
using test_support::FormStreamWriter;
using ValueWriter = std::function<void(FormStreamWriter&)>;

std::string Decode(const FormStreamWriter& stream) { return DecodeFormBytes(BinaryFormFile(stream)); }

// A root object Form1 with the one property P.
FormStreamWriter FormWithProperty(const ValueWriter& value) {
  FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").Property("P");
  value(stream);
  stream.End().End();
  return stream;
}

// What the decoder writes for the value of P.
std::string ValueText(const ValueWriter& value) {
  const std::string text = Decode(FormWithProperty(value));
  const std::string head = "object Form1: TForm1\r\n  P = ";
  const std::string tail = "\r\nend\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  return text.substr(head.size(), text.size() - head.size() - tail.size());
}

TEST(FormBinaryToText, ObjectsListsAndCollections) {
  FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1");
  stream.Property("Left").Int16(192);
  stream.Property("Font.Style").Set({"fsBold"});
  stream.End();
  stream.Object("TListBox", "ListBox1").Property("Items.Strings").BeginList().String("a").String("b").End();
  stream.End().End();
  stream.Object("TListView", "ListView1").Property("Columns").BeginCollection();
  stream.Item().Property("Caption").String("File").End();
  stream.End().End().End();
  stream.End();
  EXPECT_EQ(Decode(stream),
            "object Form1: TForm1\r\n"
            "  Left = 192\r\n"
            "  Font.Style = [fsBold]\r\n"
            "  object ListBox1: TListBox\r\n"
            "    Items.Strings = (\r\n"
            "      'a'\r\n"
            "      'b')\r\n"
            "  end\r\n"
            "  object ListView1: TListView\r\n"
            "    Columns = <\r\n"
            "      item\r\n"
            "        Caption = 'File'\r\n"
            "      end>\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST(FormBinaryToText, HeadLineFlags) {
  struct Case {
    std::string name;
    int flags;
    std::optional<std::int32_t> position;
    std::string head;
  };
  const Case cases[] = {
      {"", 0, {}, "object TForm1"},
      {"Form1", 1, {}, "inherited Form1: TForm1"},
      {"Form1", 4, {}, "inline Form1: TForm1"},
      {"Form1", 2, 3, "object Form1: TForm1 [3]"},
      {"Form1", 5, {}, "inherited Form1: TForm1"},
      {"Form1", 7, -1, "inherited Form1: TForm1 [-1]"},
      {"Form1", 6, 70000, "inline Form1: TForm1 [70000]"},
      {"Form1", 8, {}, "object Form1: TForm1"},  // an unknown flag only takes the prefix byte
  };
  for (const auto& c : cases) {
    FormStreamWriter stream;
    stream.Signature().Object("TForm1", c.name, c.flags, c.position).End().End();
    EXPECT_EQ(Decode(stream), c.head + "\r\nend\r\n") << c.flags;
  }
}

TEST(FormBinaryToText, ValueKinds) {
  struct Case {
    const char* what;
    ValueWriter value;
    std::string text;
  };
  const Case cases[] = {
      {"null", [](auto& s) { s.Null(); }, "Null"},
      {"int8", [](auto& s) { s.Int8(-128); }, "-128"},
      {"int16", [](auto& s) { s.Int16(-300); }, "-300"},
      {"int32", [](auto& s) { s.Int32(-2147483647 - 1); }, "-2147483648"},
      {"int64", [](auto& s) { s.Int64(-9223372036854775807LL - 1); }, "-9223372036854775808"},
      {"extended", [](auto& s) { s.Extended(0x8E1BC9BF04000000ULL, 16383 + 53); }, "1E16"},
      {"identifier", [](auto& s) { s.Ident("clBtnFace"); }, "clBtnFace"},
      {"false", [](auto& s) { s.False(); }, "False"},
      {"true", [](auto& s) { s.True(); }, "True"},
      {"nil", [](auto& s) { s.Nil(); }, "nil"},
      {"empty set", [](auto& s) { s.Set({}); }, "[]"},
      {"set",
       [](auto& s) {
         s.Set({"akLeft", "akTop"});
       },
       "[akLeft, akTop]"},
      {"short string", [](auto& s) { s.String("OK"); }, "'OK'"},
      {"empty string", [](auto& s) { s.String(""); }, "''"},
      {"long string", [](auto& s) { s.LongString("a'b"); }, "'a'#39'b'"},
      {"single", [](auto& s) { s.Single(0.1f); }, "0.100000001490116s"},
      {"currency 1.5", [](auto& s) { s.Currency(15000); }, "15000c"},
      {"date", [](auto& s) { s.Date(36526.25); }, "36526.25d"},
      {"wide string", [](auto& s) { s.WideString(u"ab\u4F60\u597D"); }, "'ab'#20320#22909"},
      {"utf-8 string", [](auto& s) { s.Utf8String("ab\xE4\xBD\xA0"); }, "'ab'#20320"},
      {"malformed utf-8", [](auto& s) { s.Utf8String("ab\xE4\xBD"); }, "''"},
      {"empty list", [](auto& s) { s.BeginList().End(); }, "()"},
      {"empty collection", [](auto& s) { s.BeginCollection().End(); }, "<>"},
      {"empty binary", [](auto& s) { s.Binary(""); }, "{}"},
      {"negative binary length", [](auto& s) { s.Byte(10).Little(0xFFFFFFFF, 4); }, "{}"},
      {"nested list", [](auto& s) { s.BeginList().BeginList().Int8(1).End().End(); }, "(\r\n    (\r\n      1))"},
      {"indexed item", [](auto& s) { s.BeginCollection().Item(2).End().Item(3).Property("A").Int8(1).End().End(); },
       "<\r\n    item [2]\r\n    end\r\n    item [3]\r\n      A = 1\r\n    end>"},
      // Kinds read by their lower seven bits: the top bit is ignored.
      {"identifier, top bit set", [](auto& s) { s.Byte(0x87).ShortString("x"); }, "x"},
      {"true, top bit set", [](auto& s) { s.Byte(0x89); }, "True"},
  };
  for (const auto& c : cases) EXPECT_EQ(ValueText(c.value), c.text) << c.what;
}

TEST(FormBinaryToText, BinaryDataLines) {
  auto hex = [](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "AB";
    return text;
  };
  auto data = [](std::size_t n) { return std::string(n, '\xAB'); };
  EXPECT_EQ(ValueText([&](auto& s) { s.Binary(data(1)); }), "{AB}");
  EXPECT_EQ(ValueText([&](auto& s) { s.Binary(data(31)); }), "{" + hex(31) + "}");
  EXPECT_EQ(ValueText([&](auto& s) { s.Binary(data(32)); }), "{\r\n    " + hex(32) + "}");
  EXPECT_EQ(ValueText([&](auto& s) { s.Binary(data(65)); }),
            "{\r\n    " + hex(32) + "\r\n    " + hex(32) + "\r\n    " + hex(1) + "}");
  EXPECT_EQ(ValueText([](auto& s) { s.Binary(std::string("\x00\x0F\xF0", 3)); }), "{000FF0}");
}

TEST(FormBinaryToText, LongStringMovesToTheNextLine) {
  const std::string text = ValueText([](auto& s) { s.LongString(std::string(65, 'x')); });
  EXPECT_EQ(text, "\r\n    '" + std::string(64, 'x') + "' +\r\n    'x'");
}

struct ErrorCase {
  const char* what;
  std::string file;
  std::string message;
};

void ExpectReadError(const ErrorCase& c) {
  try {
    DecodeFormBytes(c.file);
    ADD_FAILURE() << c.what << ": no error";
  } catch (const EReadError& error) {
    EXPECT_EQ(std::string(error.what()), c.message) << c.what;
  }
}

std::string WithProperty(const ValueWriter& value) { return BinaryFormFile(FormWithProperty(value)); }

TEST(FormBinaryToText, Errors) {
  FormStreamWriter no_signature;
  no_signature.Raw("TPF1").Object("TForm1", "Form1").End().End();
  FormStreamWriter cut;
  cut.Signature().Object("TForm1", "Form1").Property("Caption").Byte(6).Byte(10).Raw("abc");
  FormStreamWriter position_not_integer;
  position_not_integer.Signature().Byte(0xF2).String("x").ShortString("TForm1").ShortString("F").End().End();
  const ErrorCase cases[] = {
      {"signature", BinaryFormFile(no_signature), "Invalid stream format"},
      {"short signature", test_support::ResourceHeader("T", 2) + "TP", "Stream read error"},
      {"input ends in a string", BinaryFormFile(cut), "Stream read error"},
      {"input ends before the end of the object",
       [] {
         auto file = WithProperty([](auto& s) { s.Int8(1); });
         file.pop_back();
         return file;
       }(),
       "Stream read error"},
      {"kind 21", WithProperty([](auto& s) { s.Byte(21); }), "Error reading Form1.P: 21"},
      {"kind 127", WithProperty([](auto& s) { s.Byte(0xFF); }), "Error reading Form1.P: 127"},
      {"child position not an integer", BinaryFormFile(position_not_integer), "Invalid property value"},
      {"item without list marker", WithProperty([](auto& s) { s.BeginCollection().Byte(2).Byte(0).Byte(7); }),
       "Invalid property value"},
      {"integer with top bit", WithProperty([](auto& s) { s.Byte(0x82).Byte(1); }), "Invalid property value"},
      {"string with top bit", WithProperty([](auto& s) { s.Byte(0x86).ShortString("a"); }), "Invalid property value"},
      {"wide string with top bit", WithProperty([](auto& s) { s.Byte(0x92).Little(0, 4); }), "Invalid property value"},
      {"extended with top bit", WithProperty([](auto& s) { s.Byte(0x85).Little(0, 8).Little(0, 2); }),
       "Invalid property value"},
      {"int64 with top bit", WithProperty([](auto& s) { s.Byte(0x93).Little(0, 8); }), "Invalid property value"},
  };
  for (const auto& c : cases) ExpectReadError(c);
}

TEST(FormBinaryToText, ErrorNamesTheObjectOrItsClass) {
  FormStreamWriter stream;
  stream.Signature().Object("TForm1", "Form1").End();
  stream.Object("TButton", "").Property("Tag").Byte(30);
  ExpectReadError({"unnamed child", BinaryFormFile(stream), "Error reading TButton.Tag: 30"});
}

TEST(FormBinaryToText, LengthsBeyondTheInputAreNotTrusted) {
  // Each claims about 4 GB (or 8 GB of wide units) but the file ends soon.
  const ValueWriter values[] = {
      [](auto& s) { s.Byte(12).Little(0xFFFFFFF0, 4).Raw("abc"); },
      [](auto& s) { s.Byte(18).Little(0xFFFFFFF0, 4).Raw("abc"); },
      [](auto& s) { s.Byte(20).Little(0x7FFFFFFF, 4).Raw("abc"); },
      [](auto& s) { s.Byte(10).Little(0x7FFFFFFF, 4).Raw("abc"); },
  };
  for (const auto& value : values) ExpectReadError({"huge length", WithProperty(value), "Stream read error"});
}

TEST(FormBinaryToText, NestingIsBounded) {
  auto nested_lists = [](int depth) {
    return WithProperty([depth](auto& s) {
      for (int i = 0; i < depth; ++i) s.BeginList();
      for (int i = 0; i < depth; ++i) s.End();
    });
  };
  EXPECT_NO_THROW(DecodeFormBytes(nested_lists(100)));
  ExpectReadError({"lists", nested_lists(100000), "Invalid stream format"});

  FormStreamWriter objects;
  objects.Signature();
  for (int i = 0; i < 100000; ++i) objects.Object("TPanel", "P").End();
  ExpectReadError({"objects", BinaryFormFile(objects), "Invalid stream format"});

  auto collections = WithProperty([](auto& s) {
    for (int i = 0; i < 100000; ++i) s.BeginCollection().Item().Property("Items");
  });
  ExpectReadError({"collections", collections, "Invalid stream format"});
}

TEST(FormBinaryToText, DecodedTextIsBounded) {
  // About 1.2 MB of one-byte values, each on a line of its own indented 240
  // blanks deep, would decode into some 300 MB of text.
  const auto deep_values = WithProperty([](auto& s) {
    for (int i = 0; i < 119; ++i) s.BeginList();
    s.Raw(std::string(1200000, 8));  // False
    for (int i = 0; i < 119; ++i) s.End();
  });
  ExpectReadError({"deep values", deep_values, "Invalid stream format"});
}

}  // namespace
}  // namespace bgconv
