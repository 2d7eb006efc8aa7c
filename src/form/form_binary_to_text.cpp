#include "form/form_binary_to_text.h"

#include <cstdint>

#include "form/float_text.h"
#include "form/form_text_writer.h"
#include "form/string_literals.h"
#include "platform/errors.h"

namespace bgconv {
namespace {

enum ValueKind : std::uint8_t {
  kNull = 0,
  kList = 1,
  kInt8 = 2,
  kInt16 = 3,
  kInt32 = 4,
  kExtended = 5,
  kString = 6,
  kIdent = 7,
  kFalse = 8,
  kTrue = 9,
  kBinary = 10,
  kSet = 11,
  kLongString = 12,
  kNil = 13,
  kCollection = 14,
  kSingle = 15,
  kCurrency = 16,
  kDate = 17,
  kWideString = 18,
  kInt64 = 19,
  kUtf8String = 20,
};
constexpr std::uint8_t kLastKind = kUtf8String;

// Objects, lists and collections nest far less deeply in any real form; the
// bound keeps a crafted file from exhausting the stack or from blowing a few
// bytes up into megabytes of indentation.
constexpr int kMaxDepth = 128;

constexpr std::size_t kBinaryBytesPerLine = 32;

[[noreturn]] void InvalidPropertyValue() { throw EReadError("Invalid property value"); }

std::u16string LittleEndianUnits(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return units;
}

// The kinds whose reader takes the whole kind byte, so that one with the top
// bit set is refused there.  The others are read by their lower seven bits.
bool ReadsFullKindByte(std::uint8_t kind) {
  switch (kind) {
    case kInt8:
    case kInt16:
    case kInt32:
    case kExtended:
    case kString:
    case kLongString:
    case kSingle:
    case kCurrency:
    case kDate:
    case kWideString:
    case kInt64:
    case kUtf8String:
      return true;
    default:
      return false;
  }
}

class ObjectStreamConverter {
 public:
  ObjectStreamConverter(ByteStream& input, std::string& output) : in_(input), out_(output) {}

  void ConvertObject();

 private:
  void ConvertProperties();
  void ConvertProperty();
  void ConvertValue();
  void ConvertList();
  void ConvertCollection();
  void ConvertBinary();
  void ConvertSet();
  void ConvertScalar(std::uint8_t kind);

  std::int64_t ReadInteger();
  std::string_view ReadShortString() { return in_.Read(in_.ReadByte()); }
  // A 4-byte count, then that many units of `unit_size` bytes.
  std::string_view ReadCounted(std::uint64_t unit_size) { return in_.Read(in_.ReadUInt32() * unit_size); }
  void Descend() {
    if (++depth_ > kMaxDepth) throw EReadError("Invalid stream format");
  }
  void Ascend() { --depth_; }

  ByteStream& in_;
  FormTextWriter out_;
  int depth_ = 0;
  // What error messages name: the object and the property being read.
  std::string object_name_;
  std::string property_name_;
};

std::int64_t ObjectStreamConverter::ReadInteger() {
  switch (in_.ReadByte()) {
    case kInt8:
      return static_cast<std::int8_t>(in_.ReadByte());
    case kInt16:
      return static_cast<std::int16_t>(in_.ReadUInt16());
    case kInt32:
      return static_cast<std::int32_t>(in_.ReadUInt32());
    default:
      InvalidPropertyValue();
  }
}

void ObjectStreamConverter::ConvertObject() {
  Descend();
  int flags = 0;
  std::int64_t child_position = 0;
  if ((in_.PeekByte() & 0xF0) == 0xF0) {
    flags = in_.ReadByte() & 0x0F;
    if ((flags & 2) != 0) child_position = ReadInteger();
  }
  const std::string class_name(ReadShortString());
  const std::string object_name(ReadShortString());
  object_name_ = object_name.empty() ? class_name : object_name;

  out_.Indent();
  out_.Write((flags & 1) != 0 ? "inherited " : (flags & 4) != 0 ? "inline " : "object ");
  if (!object_name.empty()) {
    out_.Write(object_name);
    out_.Write(": ");
  }
  out_.Write(class_name);
  if ((flags & 2) != 0) {
    out_.Write(" [");
    out_.Write(std::to_string(child_position));
    out_.Write("]");
  }
  out_.Write("\r\n");

  out_.Nest();
  ConvertProperties();
  while (in_.PeekByte() != 0) ConvertObject();
  in_.ReadByte();
  out_.Unnest();
  out_.Indent();
  out_.Write("end\r\n");
  Ascend();
}

void ObjectStreamConverter::ConvertProperties() {
  while (in_.PeekByte() != 0) ConvertProperty();
  in_.ReadByte();
}

void ObjectStreamConverter::ConvertProperty() {
  out_.Indent();
  property_name_ = ReadShortString();
  out_.Write(property_name_);
  out_.Write(" = ");
  ConvertValue();
  out_.Write("\r\n");
}

void ObjectStreamConverter::ConvertValue() {
  const std::uint8_t byte = in_.PeekByte();
  const std::uint8_t kind = byte & 0x7F;
  if (kind > kLastKind) {
    throw EReadError("Error reading " + object_name_ + "." + property_name_ + ": " + std::to_string(kind));
  }
  if (ReadsFullKindByte(kind) && byte != kind) InvalidPropertyValue();
  switch (kind) {
    case kList:
      return ConvertList();
    case kCollection:
      return ConvertCollection();
    case kBinary:
      return ConvertBinary();
    case kSet:
      return ConvertSet();
    case kInt8:
    case kInt16:
    case kInt32:
      return out_.Write(std::to_string(ReadInteger()));
    default:
      return ConvertScalar(kind);
  }
}

// A value without nested values; its kind byte is still to be consumed.
void ObjectStreamConverter::ConvertScalar(std::uint8_t kind) {
  in_.ReadByte();
  switch (kind) {
    case kNull:
      return out_.Write("Null");
    case kExtended:
      return out_.Write(ExtendedFloatText(in_.Read(10)));
    case kString:
      return WriteByteString(out_, ReadShortString());
    case kIdent:
      return out_.Write(ReadShortString());
    case kFalse:
      return out_.Write("False");
    case kTrue:
      return out_.Write("True");
    case kLongString:
      return WriteByteString(out_, ReadCounted(1));
    case kNil:
      return out_.Write("nil");
    case kSingle:
      return out_.Write(SingleFloatText(in_.ReadUInt32()) + "s");
    case kCurrency:
      return out_.Write(IntegerFloatText(static_cast<std::int64_t>(in_.ReadUInt64())) + "c");
    case kDate:
      return out_.Write(DoubleFloatText(in_.ReadUInt64()) + "d");
    case kWideString:
      return WriteWideString(out_, LittleEndianUnits(ReadCounted(2)));
    case kInt64:
      return out_.Write(std::to_string(static_cast<std::int64_t>(in_.ReadUInt64())));
    case kUtf8String:
      return WriteWideString(out_, DecodeUtf8Value(ReadCounted(1)));
    default:
      return;
  }
}

void ObjectStreamConverter::ConvertList() {
  Descend();
  in_.ReadByte();
  out_.Write("(");
  out_.Nest();
  while (in_.PeekByte() != 0) {
    out_.NewLine();
    ConvertValue();
  }
  in_.ReadByte();
  out_.Unnest();
  out_.Write(")");
  Ascend();
}

void ObjectStreamConverter::ConvertCollection() {
  Descend();
  in_.ReadByte();
  out_.Write("<");
  out_.Nest();
  while (in_.PeekByte() != 0) {
    out_.NewLine();
    out_.Write("item");
    if (const std::uint8_t next = in_.PeekByte(); next == kInt8 || next == kInt16 || next == kInt32) {
      out_.Write(" [");
      out_.Write(std::to_string(ReadInteger()));
      out_.Write("]");
    }
    out_.Write("\r\n");
    if (in_.ReadByte() != kList) InvalidPropertyValue();
    out_.Nest();
    ConvertProperties();
    out_.Unnest();
    out_.Indent();
    out_.Write("end");
  }
  in_.ReadByte();
  out_.Unnest();
  out_.Write(">");
  Ascend();
}

void ObjectStreamConverter::ConvertBinary() {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  in_.ReadByte();
  out_.Write("{");
  out_.Nest();
  const auto length = static_cast<std::int32_t>(in_.ReadUInt32());
  // A length of 0 or less has no data: "{}".
  std::string_view data = in_.Read(length > 0 ? static_cast<std::size_t>(length) : 0);
  const bool multi_line = data.size() >= kBinaryBytesPerLine;
  char hex[2 * kBinaryBytesPerLine];
  while (!data.empty()) {
    if (multi_line) out_.NewLine();
    const std::string_view line = data.substr(0, kBinaryBytesPerLine);
    for (std::size_t i = 0; i < line.size(); ++i) {
      const auto byte = static_cast<unsigned char>(line[i]);
      hex[2 * i] = kHexDigits[byte >> 4];
      hex[2 * i + 1] = kHexDigits[byte & 0x0F];
    }
    out_.Write(std::string_view(hex, 2 * line.size()));
    data.remove_prefix(line.size());
  }
  out_.Unnest();
  out_.Write("}");
}

void ObjectStreamConverter::ConvertSet() {
  in_.ReadByte();
  out_.Write("[");
  for (bool first = true;; first = false) {
    const std::string_view name = ReadShortString();
    if (name.empty()) break;
    if (!first) out_.Write(", ");
    out_.Write(name);
  }
  out_.Write("]");
}

}  // namespace

void FormBinaryToText(ByteStream& input, std::string& output) {
  if (input.Read(4) != "TPF0") throw EReadError("Invalid stream format");
  ObjectStreamConverter(input, output).ConvertObject();
}

}  // namespace bgconv
