#pragma once
// A read position over bytes held in memory: the input of the form decoder.
// Reading past the end fails with EReadError "Stream read error", so no
// length taken from the input can make the reader go beyond it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace bgconv {

class ByteStream {
 public:
  explicit ByteStream(std::string_view bytes) : bytes_(bytes) {}

  std::size_t Position() const { return position_; }
  // Moves to `position`, clamped to the end.
  void Seek(std::size_t position) { position_ = position < bytes_.size() ? position : bytes_.size(); }
  std::size_t Remaining() const { return bytes_.size() - position_; }

  // Copies up to `count` bytes to `into` and returns how many there were.
  std::size_t ReadSome(void* into, std::size_t count);
  // The next `count` bytes, all of them or EReadError.
  std::string_view Read(std::size_t count);
  std::uint8_t ReadByte();
  // The next byte without consuming it; EReadError at the end.
  std::uint8_t PeekByte() const;

  std::uint16_t ReadUInt16();
  std::uint32_t ReadUInt32();
  std::uint64_t ReadUInt64();

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace bgconv
