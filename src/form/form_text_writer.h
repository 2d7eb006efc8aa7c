#pragma once
// Appends form text to a byte string: two blanks of indentation per nesting
// level, CR LF line ends.

#include <string>
#include <string_view>

#include "platform/errors.h"

namespace bgconv {

// The most form text one binary form file may decode into.  Real forms stay
// far below it; without a bound a crafted file of a few megabytes (one-byte
// values in lists nested a hundred deep, each on a line of its own) would
// take gigabytes.
inline constexpr std::size_t kMaxFormTextBytes = std::size_t{256} << 20;

class FormTextWriter {
 public:
  explicit FormTextWriter(std::string& output) : output_(output) {}

  // Each write fails with EReadError "Invalid stream format" once the output
  // would pass kMaxFormTextBytes.
  void Write(std::string_view text) {
    Reserve(text.size());
    output_ += text;
  }
  void Write(char byte) {
    Reserve(1);
    output_ += byte;
  }
  void Indent() {
    const std::size_t blanks = 2 * static_cast<std::size_t>(nesting_);
    Reserve(blanks);
    output_.append(blanks, ' ');
  }
  // CR LF, then the indentation of the current level.
  void NewLine() {
    Write("\r\n");
    Indent();
  }
  void Nest() { ++nesting_; }
  void Unnest() { --nesting_; }
  int Nesting() const { return nesting_; }

 private:
  void Reserve(std::size_t more) const {
    if (more > kMaxFormTextBytes - output_.size()) throw EReadError("Invalid stream format");
  }

  std::string& output_;
  int nesting_ = 0;
};

}  // namespace bgconv
