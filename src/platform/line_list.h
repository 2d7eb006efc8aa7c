#pragma once
// The ordered list of byte-string lines through which every whole text file
// is read and written.  Its split and join rules decide the bytes a converted
// file finally holds: CR LF after every line, nothing from the first NUL on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace bgconv {

class LineList {
 public:
  // Replaces the lines by the split of the file's bytes.  Fails with
  // EFOpenError and keeps the lines it had; a pipe or a device is refused,
  // not read.
  void LoadFromFile(const std::string& path);
  // Writes the joined text in place of the file.  Fails with EFCreateError and
  // leaves the old file as it was.
  void SaveToFile(const std::string& path, WriteOptions options = {}) const;

  std::string Text() const;
  void SetText(std::string_view text);

  // Appends `line` as one entry, unchanged: line breaks inside it stay whole
  // and come out as they are when the list is joined.
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  std::size_t Count() const { return lines_.size(); }
  const std::string& Get(std::size_t index) const { return lines_.at(index); }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

// A line runs up to the next CR, LF or NUL; after it one CR and then one LF
// are skipped.  The first NUL ends the text.
std::vector<std::string> SplitLines(std::string_view text);

// Where each line of that split stands in the text.
struct LineSpan {
  std::size_t start;
  std::size_t length;
};
std::vector<LineSpan> SplitLineSpans(std::string_view text);

// Every line followed by CR LF, the last one included.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace bgconv
