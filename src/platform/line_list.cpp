#include "platform/line_list.h"

#include "platform/paths.h"

namespace bgconv {

std::vector<LineSpan> SplitLineSpans(std::string_view text) {
  std::vector<LineSpan> spans;
  std::size_t pos = 0;
  const std::size_t end = text.size();
  while (pos < end && text[pos] != '\0') {
    const std::size_t start = pos;
    while (pos < end && text[pos] != '\r' && text[pos] != '\n' && text[pos] != '\0') ++pos;
    spans.push_back({start, pos - start});
    if (pos < end && text[pos] == '\r') ++pos;
    if (pos < end && text[pos] == '\n') ++pos;
  }
  return spans;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (const auto& span : SplitLineSpans(text)) lines.emplace_back(text.substr(span.start, span.length));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void LineList::LoadFromFile(const std::string& path) {
  RequireRegularFile(path);
  SetText(ReadWholeFile(path));
}

void LineList::SaveToFile(const std::string& path, WriteOptions options) const {
  WriteFileAtomically(path, Text(), options);
}

std::string LineList::Text() const { return JoinLines(lines_); }

void LineList::SetText(std::string_view text) { lines_ = SplitLines(text); }

}  // namespace bgconv
