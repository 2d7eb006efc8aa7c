// Any bytes through the classifier and the guarded conversion: the
// confidence is a share, the text keeps its length and its line ends, and
// every line is either kept as it was or converted as the converter alone
// converts it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "codec/converter.h"
#include "codec/encoding_guard.h"
#include "codec/text_class.h"

namespace {

void CheckGuarded(std::string_view text, bgconv::Direction direction) {
  const bgconv::GuardedConversion result = bgconv::ConvertKeepingUtf8Lines(text, direction);
  if (result.text.size() != text.size()) std::abort();
  std::size_t kept = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view before = text.substr(start, end - start);
    const std::string_view after = std::string_view(result.text).substr(start, end - start);
    if (end < text.size() && result.text[end] != '\n') std::abort();
    if (after == before && after != bgconv::ConvertText(before, direction)) ++kept;
    if (after != before && after != bgconv::ConvertText(before, direction)) std::abort();
    start = end + 1;
  }
  if (kept > result.kept_lines) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bgconv::Classification classification = bgconv::ClassifyText(text);
  if (!(classification.confidence > 0.0 && classification.confidence <= 1.0)) std::abort();
  if (bgconv::TextClassName(classification.text_class).empty()) std::abort();
  CheckGuarded(text, bgconv::Direction::kBigToGb);
  CheckGuarded(text, bgconv::Direction::kGbToBig);
  return 0;
}
