#include "codec/encoding_guard.h"

#include <algorithm>

#include "codec/converter.h"
#include "codec/reading_cost.h"

namespace bgconv {
namespace {

TextClass SourceCodePageClass(Direction direction) {
  return direction == Direction::kBigToGb ? TextClass::kBig5 : TextClass::kGb2312;
}

}  // namespace

bool IsSourceClass(TextClass text_class, Direction direction) {
  if (direction == Direction::kBigToGb) return text_class == TextClass::kBig5;
  return text_class == TextClass::kGb2312 || text_class == TextClass::kGbk;
}

std::optional<std::string> SkipReason(const Classification& classification, Direction direction) {
  const TextClass text_class = classification.text_class;
  if (text_class == TextClass::kAscii || IsSourceClass(text_class, direction)) return std::nullopt;
  if (classification.confidence < kSureConfidence) return std::nullopt;
  switch (text_class) {
    case TextClass::kBig5:
    case TextClass::kGb2312:
    case TextClass::kGbk:
      return "already " + std::string(TextClassName(text_class));
    case TextClass::kUtf8:
    case TextClass::kUtf16:
      return std::string(TextClassName(text_class));
    case TextClass::kBinary:
      return "not text";
    case TextClass::kMixed:
      return "lines in both Big5 and GB2312";
    case TextClass::kAscii:
      break;
  }
  return "not " + std::string(TextClassName(SourceCodePageClass(direction))) + " text";
}

GuardedConversion ConvertKeepingUtf8Lines(std::string_view text, Direction direction) {
  // The converter keeps every line end where it stands (no byte below 0xA1
  // is part of a pair but as its trail, and a line end is never a trail
  // byte), so a kept line is put back over its converted place.
  GuardedConversion result{ConvertText(text, direction), 0};
  const TextClass code_page = SourceCodePageClass(direction);
  ForEachHighByteLine(text, [&](std::size_t start, std::string_view line) {
    if (!IsForeignUtf8Line(line, code_page)) return;
    result.text.replace(start, line.size(), line);
    ++result.kept_lines;
  });
  return result;
}

}  // namespace bgconv
