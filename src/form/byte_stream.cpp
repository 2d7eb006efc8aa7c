#include "form/byte_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace bgconv {
namespace {

[[noreturn]] void ThrowReadError() { throw EReadError("Stream read error"); }

// Little-endian, byte by byte: independent of the host's byte order.
std::uint64_t LittleEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
  return value;
}

}  // namespace

std::size_t ByteStream::ReadSome(void* into, std::size_t count) {
  const std::size_t taken = std::min(count, Remaining());
  if (taken > 0) std::memcpy(into, bytes_.data() + position_, taken);
  position_ += taken;
  return taken;
}

std::string_view ByteStream::Read(std::size_t count) {
  if (count > Remaining()) ThrowReadError();
  const auto bytes = bytes_.substr(position_, count);
  position_ += count;
  return bytes;
}

std::uint8_t ByteStream::ReadByte() { return static_cast<std::uint8_t>(Read(1)[0]); }

std::uint8_t ByteStream::PeekByte() const {
  if (Remaining() == 0) ThrowReadError();
  return static_cast<std::uint8_t>(bytes_[position_]);
}

std::uint16_t ByteStream::ReadUInt16() { return static_cast<std::uint16_t>(LittleEndian(Read(2))); }
std::uint32_t ByteStream::ReadUInt32() { return static_cast<std::uint32_t>(LittleEndian(Read(4))); }
std::uint64_t ByteStream::ReadUInt64() { return LittleEndian(Read(8)); }

}  // namespace bgconv
