#pragma once
// The built-in engine: rewrites a byte string from one Chinese code page to
// the other in one left-to-right scan.  Bytes 0x00-0xA0 pass through; a byte
// 0xA1-0xFF followed by a trail byte of the source set is a pair, replaced by
// its code-table entry; without one it becomes a blank.  With the built-in
// tables (no zero byte) the result always has the input's length.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "codec/code_set.h"
#include "codec/code_tables.h"
#include "common/choices.h"

namespace bgconv {

// The set a direction converts from and the one it converts to.
constexpr CodeSet SourceSet(Direction direction) {
  return direction == Direction::kGbToBig ? CodeSet::kGb2312 : CodeSet::kBig5;
}
constexpr CodeSet TargetSet(Direction direction) {
  return direction == Direction::kGbToBig ? CodeSet::kBig5 : CodeSet::kGb2312;
}

// The kernels that convert runs of whole pairs at a time: the portable one
// is always built, the SSE2 one where the processor has it.  Convert takes
// the fastest; the tests run each one against the plain reference.
enum class PairKernel { kPortable, kSse2 };

// The kernels built into this program, the fastest last.
std::span<const PairKernel> BuiltKernels();

class TableConverter {
 public:
  // The scan over `input`; the result is a new string of the same length.
  // Every byte string is accepted.
  std::string Convert(std::string_view input) const;
  // Convert with the kernel `kernel`, one of BuiltKernels().
  std::string ConvertWith(PairKernel kernel, std::string_view input) const;

 protected:
  // Fails with an Exception when an entry of `table` holds a zero byte: every
  // entry is two bytes, which keeps a converted text at its length.
  TableConverter(ResourceStream table, std::string_view name, std::uint16_t first_code, CodeSet source);

 private:
  ResourceStream table_;
  std::uint16_t first_code_;
  CodeSet source_;
};

// Big5 to GB2312 through BIG2GB.
class TBIG2GB : public TableConverter {
 public:
  explicit TBIG2GB(std::span<const DataItem> items = EmbeddedDataItems());
};

// GB2312 to Big5 through GB2BIG.  The alternatives list travels with it.
class TGB2BIG : public TableConverter {
 public:
  explicit TGB2BIG(std::span<const DataItem> items = EmbeddedDataItems());

 private:
  ResourceStream alternative_codes_;
  ResourceStream alternative_data_;
};

std::string Big5ToGb(std::string_view text);
std::string GbToBig5(std::string_view text);

// Big5ToGb or GbToBig5, by the direction.
std::string ConvertText(std::string_view text, Direction direction);

}  // namespace bgconv
