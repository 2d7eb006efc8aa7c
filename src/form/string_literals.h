#pragma once
// How the form decoder writes string values as form text: printable runs in
// quotes, every other unit as "#" and its decimal value, at most 64 units of
// the value per line, lines joined by " +".

#include <string>
#include <string_view>

#include "form/form_text_writer.h"

namespace bgconv {

// A byte string (short or long string).  A line break never falls between
// the lead byte and the trail byte of a double-byte character; bytes 128 to
// 255 stand raw inside the quotes.
void WriteByteString(FormTextWriter& writer, std::string_view bytes);

// A UTF-16 string: only units 32 to 127 stand in quotes, every other one is
// written as an escape such as #20320.
void WriteWideString(FormTextWriter& writer, std::u16string_view units);

// The UTF-16 units of a UTF-8 value as the form reader takes it: one or two
// continuation bytes by bit 0x20 of the lead byte, the lower 16 bits of the
// result.  A sequence cut off or with a byte that is no continuation byte
// gives the empty string.
std::u16string DecodeUtf8Value(std::string_view bytes);

}  // namespace bgconv
