#pragma once
// Builds binary form files byte by byte, laid out as a form writer lays
// them out: the resource header, "TPF0", object records and values.  Every
// call appends; End() writes the 0 byte that closes a property list, child
// list, list, collection or collection item.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace bgconv::test_support {

class FormStreamWriter {
 public:
  FormStreamWriter& Signature() { return Raw("TPF0"); }
  // A prefix byte is written when `flags` is not 0 or a position is given.
  FormStreamWriter& Object(std::string_view class_name, std::string_view name, int flags = 0,
                           std::optional<std::int32_t> child_position = std::nullopt);
  FormStreamWriter& Property(std::string_view name) { return ShortString(name); }
  FormStreamWriter& End() { return Byte(0); }

  FormStreamWriter& Null() { return Byte(0); }
  FormStreamWriter& BeginList() { return Byte(1); }
  FormStreamWriter& Int8(std::int8_t value);
  FormStreamWriter& Int16(std::int16_t value);
  FormStreamWriter& Int32(std::int32_t value);
  // 8 bytes of mantissa (explicit leading bit), 2 of sign and exponent.
  FormStreamWriter& Extended(std::uint64_t mantissa, std::uint16_t sign_exponent);
  FormStreamWriter& String(std::string_view bytes);  // kind 6, at most 255 bytes
  FormStreamWriter& Ident(std::string_view name);
  FormStreamWriter& False() { return Byte(8); }
  FormStreamWriter& True() { return Byte(9); }
  FormStreamWriter& Binary(std::string_view bytes);
  FormStreamWriter& Set(std::initializer_list<std::string_view> names);
  FormStreamWriter& LongString(std::string_view bytes);
  FormStreamWriter& Nil() { return Byte(13); }
  FormStreamWriter& BeginCollection() { return Byte(14); }
  // A collection item: its optional index, then the list marker.
  FormStreamWriter& Item(std::optional<std::int8_t> index = std::nullopt);
  FormStreamWriter& Single(float value);
  FormStreamWriter& Currency(std::int64_t amount_times_10000);
  FormStreamWriter& Date(double value);
  FormStreamWriter& WideString(std::u16string_view units);
  FormStreamWriter& Int64(std::int64_t value);
  FormStreamWriter& Utf8String(std::string_view bytes);

  FormStreamWriter& Byte(std::uint8_t byte);
  FormStreamWriter& Raw(std::string_view bytes);
  FormStreamWriter& ShortString(std::string_view bytes);
  FormStreamWriter& Little(std::uint64_t value, int size);

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The 16-bit resource header in front of a binary form's object stream.
std::string ResourceHeader(std::string_view name, std::uint32_t data_size);

// A whole binary form file: the header, then `stream`.
std::string BinaryFormFile(const FormStreamWriter& stream, std::string_view resource_name = "TFORM1");

}  // namespace bgconv::test_support
