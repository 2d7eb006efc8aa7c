#include "codec/code_tables.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/errors.h"

namespace bgconv {
namespace generated {
// Defined by the generated table data.
extern const unsigned char kBig2Gb[45438];
extern const unsigned char kGb2Big[48316];
extern const unsigned char kDupCode[496];
extern const unsigned char kDupData[496];
}  // namespace generated

std::span<const DataItem> EmbeddedDataItems() {
  static const DataItem items[] = {
      {"BIG2GB", generated::kBig2Gb},
      {"GB2BIG", generated::kGb2Big},
      {"DUPCODE", generated::kDupCode},
      {"DUPDATA", generated::kDupData},
  };
  return items;
}

ResourceStream ResourceStream::Open(std::string_view name, std::span<const DataItem> items) {
  const auto found = std::find_if(items.begin(), items.end(), [&](const DataItem& item) { return item.name == name; });
  if (found == items.end()) throw EResNotFound(std::string(name));
  return ResourceStream(found->bytes);
}

std::size_t ResourceStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t delivered = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, delivered);
  position_ += delivered;
  return delivered;
}

}  // namespace bgconv
