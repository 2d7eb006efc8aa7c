#pragma once
// Folding of wide-string literals: form text writes every non-ASCII
// character of a wide string as a decimal escape (#20320#22909), which a
// byte-level converter cannot reach.  Folding replaces each such literal by
// a quoted string in the ANSI code page, so the characters stand in the text
// as bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ansi_codepage.h"
#include "platform/line_list.h"

namespace bgconv {

// The literal that takes a wide value's place: printable characters in
// quotes, a quote and characters below 32 as escapes between quoted runs
// ('a'#39'b', 'x'#13#10'y'), so the literal stays valid form text on one line.
std::u16string FoldedLiteral(std::u16string_view value);

// `decoded` split into a line list, with every wide-string token after the
// first token folded.  Each token is replaced where the tokenizer found it,
// so a fold never changes text that is not that token.  Fails with
// EParserError.
//
// When there is at least one fold, the text comes back as the code page
// renders it, as if the whole text had gone to UTF-16 and back: byte
// sequences the code page does not define become "?".  A text without
// wide-string tokens comes back exactly as split.
LineList FoldWideStrings(std::string_view decoded, const AnsiCodePage& code_page);

// The joined text of FoldWideStrings (CR LF after every line), built front
// to back without a list of lines: besides `decoded` it holds about one more
// text of that size.
std::string FoldWideStringsToText(std::string_view decoded, const AnsiCodePage& code_page);

}  // namespace bgconv
