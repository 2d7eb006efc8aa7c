#pragma once
// Appends form text to a byte string: two blanks of indentation per nesting
// level, CR LF line ends.

#include <string>
#include <string_view>

namespace bgconv {

class FormTextWriter {
 public:
  explicit FormTextWriter(std::string& output) : output_(output) {}

  void Write(std::string_view text) { output_ += text; }
  void Write(char byte) { output_ += byte; }
  void Indent() { output_.append(2 * static_cast<std::size_t>(nesting_), ' '); }
  // CR LF, then the indentation of the current level.
  void NewLine() {
    output_ += "\r\n";
    Indent();
  }
  void Nest() { ++nesting_; }
  void Unnest() { --nesting_; }
  int Nesting() const { return nesting_; }

 private:
  std::string& output_;
  int nesting_ = 0;
};

}  // namespace bgconv
