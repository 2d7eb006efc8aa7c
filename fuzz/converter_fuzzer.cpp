// Any bytes through both converters: the fast scan gives exactly what the
// plain one-lookup-per-character scan gives, and the text keeps its length.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "codec/converter.h"
#include "support/literal_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bgconv::TBIG2GB big5_to_gb;
  static const bgconv::TGB2BIG gb_to_big5;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string to_gb = big5_to_gb.Convert(text);
  const std::string to_big5 = gb_to_big5.Convert(text);
  if (to_gb != bgconv::LiteralBig5ToGb(text) || to_gb.size() != size) std::abort();
  if (to_big5 != bgconv::LiteralGbToBig5(text) || to_big5.size() != size) std::abort();
  return 0;
}
