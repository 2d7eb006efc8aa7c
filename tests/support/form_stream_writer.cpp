#include "support/form_stream_writer.h"

#include <bit>

namespace bgconv::test_support {

FormStreamWriter& FormStreamWriter::Byte(std::uint8_t byte) {
  bytes_ += static_cast<char>(byte);
  return *this;
}

FormStreamWriter& FormStreamWriter::Raw(std::string_view bytes) {
  bytes_ += bytes;
  return *this;
}

FormStreamWriter& FormStreamWriter::Little(std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
  return *this;
}

FormStreamWriter& FormStreamWriter::ShortString(std::string_view bytes) {
  return Byte(static_cast<std::uint8_t>(bytes.size())).Raw(bytes.substr(0, 255));
}

FormStreamWriter& FormStreamWriter::Object(std::string_view class_name, std::string_view name, int flags,
                                           std::optional<std::int32_t> child_position) {
  if (flags != 0 || child_position) Byte(static_cast<std::uint8_t>(0xF0 | flags));
  if (child_position) Int32(*child_position);
  return ShortString(class_name).ShortString(name);
}

FormStreamWriter& FormStreamWriter::Int8(std::int8_t value) {
  return Byte(2).Little(static_cast<std::uint8_t>(value), 1);
}
FormStreamWriter& FormStreamWriter::Int16(std::int16_t value) {
  return Byte(3).Little(static_cast<std::uint16_t>(value), 2);
}
FormStreamWriter& FormStreamWriter::Int32(std::int32_t value) {
  return Byte(4).Little(static_cast<std::uint32_t>(value), 4);
}
FormStreamWriter& FormStreamWriter::Int64(std::int64_t value) {
  return Byte(19).Little(static_cast<std::uint64_t>(value), 8);
}

FormStreamWriter& FormStreamWriter::Extended(std::uint64_t mantissa, std::uint16_t sign_exponent) {
  return Byte(5).Little(mantissa, 8).Little(sign_exponent, 2);
}

FormStreamWriter& FormStreamWriter::String(std::string_view bytes) { return Byte(6).ShortString(bytes); }
FormStreamWriter& FormStreamWriter::Ident(std::string_view name) { return Byte(7).ShortString(name); }

FormStreamWriter& FormStreamWriter::Binary(std::string_view bytes) {
  return Byte(10).Little(bytes.size(), 4).Raw(bytes);
}

FormStreamWriter& FormStreamWriter::Set(std::initializer_list<std::string_view> names) {
  Byte(11);
  for (const auto name : names) ShortString(name);
  return Byte(0);
}

FormStreamWriter& FormStreamWriter::LongString(std::string_view bytes) {
  return Byte(12).Little(bytes.size(), 4).Raw(bytes);
}

FormStreamWriter& FormStreamWriter::Item(std::optional<std::int8_t> index) {
  if (index) Int8(*index);
  return Byte(1);
}

FormStreamWriter& FormStreamWriter::Single(float value) {
  return Byte(15).Little(std::bit_cast<std::uint32_t>(value), 4);
}
FormStreamWriter& FormStreamWriter::Currency(std::int64_t amount) {
  return Byte(16).Little(static_cast<std::uint64_t>(amount), 8);
}
FormStreamWriter& FormStreamWriter::Date(double value) {
  return Byte(17).Little(std::bit_cast<std::uint64_t>(value), 8);
}

FormStreamWriter& FormStreamWriter::WideString(std::u16string_view units) {
  Byte(18).Little(units.size(), 4);
  for (const char16_t unit : units) Little(unit, 2);
  return *this;
}

FormStreamWriter& FormStreamWriter::Utf8String(std::string_view bytes) {
  return Byte(20).Little(bytes.size(), 4).Raw(bytes);
}

std::string ResourceHeader(std::string_view name, std::uint32_t data_size) {
  FormStreamWriter header;
  header.Byte(0xFF).Little(10, 2).Raw(name).Byte(0).Little(0x1030, 2).Little(data_size, 4);
  return header.Bytes();
}

std::string BinaryFormFile(const FormStreamWriter& stream, std::string_view resource_name) {
  return ResourceHeader(resource_name, static_cast<std::uint32_t>(stream.Bytes().size())) + stream.Bytes();
}

}  // namespace bgconv::test_support
