#pragma once
// The read-only data items the program carries: the code tables BIG2GB and
// GB2BIG and the alternatives list DUPCODE/DUPDATA.  They are opened by name
// and read in place; opening one copies nothing.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace bgconv {

struct DataItem {
  std::string_view name;
  std::span<const unsigned char> bytes;
};

// The items built into the program.
std::span<const DataItem> EmbeddedDataItems();

// A read-only byte stream over one data item.
class ResourceStream {
 public:
  // Opens the item `name` among `items`.  Fails with EResNotFound
  // ("Resource %s not found").
  static ResourceStream Open(std::string_view name, std::span<const DataItem> items = EmbeddedDataItems());

  std::size_t Size() const { return bytes_.size(); }
  std::size_t Position() const { return position_; }
  // Any position is allowed, also beyond the end (reads there deliver nothing).
  void Seek(std::size_t position) { position_ = position; }
  // Copies up to `count` bytes from the position on and advances it; returns
  // how many bytes it delivered, fewer than `count` only at the end.
  std::size_t Read(void* buffer, std::size_t count);

  std::span<const unsigned char> Bytes() const { return bytes_; }

 private:
  explicit ResourceStream(std::span<const unsigned char> bytes) : bytes_(bytes) {}

  std::span<const unsigned char> bytes_;
  std::size_t position_ = 0;
};

// Facts about the two code tables.
inline constexpr std::uint16_t kBig5FirstCode = 0xA140;
inline constexpr std::uint16_t kBig5LastCode = 0xF9FE;
inline constexpr std::uint16_t kGbFirstCode = 0xA1A1;
inline constexpr std::uint16_t kGbLastCode = 0xFFFE;
// The entry of a code without counterpart: two blanks, so the text keeps its length.
inline constexpr unsigned char kFillerEntry[2] = {0x20, 0x20};

}  // namespace bgconv
