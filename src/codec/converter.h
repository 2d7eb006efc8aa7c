#pragma once
// The built-in engine: rewrites a byte string from one Chinese code page to
// the other in one left-to-right scan.  Bytes 0x00-0xA0 pass through; a byte
// 0xA1-0xFF starts a pair that is replaced by its code-table entry.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "codec/code_tables.h"

namespace bgconv {

// The "Co&de Type" choice.
enum CodeDirection : int {
  kBigToGb = 0,  // "BIG->GB": source Big5, target GB2312
  kGbToBig = 1,  // "GB->BIG ": source GB2312, target Big5
};

class TableConverter {
 public:
  // The scan over `input`; the result is a new string.  Every byte string is
  // accepted.
  std::string Convert(std::string_view input) const;

 protected:
  TableConverter(ResourceStream table, std::uint16_t first_code);

 private:
  template <bool kZeroFree>
  std::string Scan(std::string_view input) const;

  ResourceStream table_;
  std::uint16_t first_code_;
  bool zero_free_;  // no entry ends early: every pair yields two bytes
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

// Converts by the code direction; any other direction returns the text unchanged.
std::string ConvertText(std::string_view text, int direction);

}  // namespace bgconv
