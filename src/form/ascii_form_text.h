#pragma once
// Form text for Unicode Delphi and Lazarus: every string that holds a
// character outside ASCII is written as quoted ASCII runs and #nnnn escapes
// of its UTF-16 units, so the form is pure ASCII and means the same whatever
// the code page of the machine that loads it.

#include <cstddef>
#include <string>
#include <string_view>

#include "codec/unicode_text.h"

namespace bgconv {

// A literal of `value`: characters 32 to 126 but the quote in quotes, every
// other unit as an escape ('a'#20320'b', #39, #13#10).
std::string AsciiLiteral(std::u16string_view value);

struct AsciiFormText {
  std::string text;
  std::size_t undecodable = 0;  // byte sequences of `code_page` written as U+FFFD
};

// `form_text` as a form decoder gives it (byte strings in `code_page`, 950 or
// 936; wide strings as escapes) with each string token that holds a byte
// 0x80 or above written by AsciiLiteral: a byte string decoded from the code
// page, a wide string with its units.  With a script, every string's
// characters are converted too; other strings stay exactly as written.
// Anything outside strings (which ASCII form text does not have) becomes
// UTF-8.  The text is cut at its first NUL and has CR LF line ends.  Fails
// with EParserError where the text cannot be tokenized.
AsciiFormText FormTextToAscii(std::string_view form_text, int code_page, const ScriptConverter& script);

}  // namespace bgconv
