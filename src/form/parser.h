#pragma once
// The tokenizer of form text.  It sees the text through a window of 4096
// bytes that always ends after a line break, so no token crosses the window's
// edge; a line that does not fit fails with "Line too long".

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ansi_codepage.h"

namespace bgconv {

enum TokenKind : int {
  kEndOfText = 0,
  kSymbol = 1,
  kStringToken = 2,
  kIntegerToken = 3,
  kFloatToken = 4,
  kWideStringToken = 5,
  // Any other kind is a one-byte token whose kind is that byte's value.
};

class TParser {
 public:
  // Scans the first token already.  `text` and `code_page` must outlive the
  // parser.  Failures are EParserError "... on line N".
  TParser(std::string_view text, const AnsiCodePage& code_page);

  // Skips blanks (bytes 1 to 32), scans the next token and returns its kind;
  // kEndOfText at the end of the text or at a NUL byte.
  int ScanToken();
  int Token() const { return token_; }

  // A string token's decoded bytes; for any other kind the token exactly as
  // it stands in the text.
  std::string TokenSource() const;
  // A wide-string token's value; for any other kind its source converted
  // from the code page.
  std::u16string TokenWideValue() const;
  // Where the current token stands in the text (0-based) and its length.
  std::size_t TokenOffset() const { return token_start_; }
  std::size_t TokenLength() const { return position_ - token_start_; }
  int SourceLine() const { return line_; }

 private:
  unsigned char At(std::size_t position) const {
    return position < window_end_ ? static_cast<unsigned char>(text_[position]) : 0;
  }
  void SkipBlanks();
  void RefillWindow();
  void ScanString();
  void ScanNumber();
  template <typename Predicate>
  void SkipWhile(Predicate predicate) {
    while (predicate(At(position_))) ++position_;
  }
  [[noreturn]] void Error(std::string_view what) const;

  std::string_view text_;
  const AnsiCodePage& code_page_;
  // Bytes from window_end_ on are not visible yet: they read as 0.
  std::size_t window_end_ = 0;
  std::size_t position_ = 0;
  std::size_t token_start_ = 0;
  int token_ = kEndOfText;
  int line_ = 1;
  std::string string_value_;
  std::u16string wide_value_;
};

}  // namespace bgconv
