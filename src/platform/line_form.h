#pragma once
// The bytes a text file holds after it has passed through the line list
// (split at CR, LF or CR LF, cut at the first NUL, every line ended by
// CR LF), computed in one pass over the text instead of through a list of
// line strings.  LineList is the reference these functions are tested
// against.

#include <string>
#include <string_view>

namespace bgconv {

// The joined text of a line list whose text was set to `text`.
std::string NormalizeLineBreaks(std::string_view text);

// True when NormalizeLineBreaks would return `text` unchanged: no NUL, every
// CR followed by LF and every LF preceded by CR, and a final CR LF (or no
// bytes at all).  Most Delphi files already are so and need no copy.
bool IsInLineListForm(std::string_view text);

}  // namespace bgconv
