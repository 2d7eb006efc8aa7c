#pragma once
// Finds the files a Delphi project file names: the quoted names of a
// program's uses clause (.dpr) or of a package's contains clause (.dpk).
// The scan does not parse Pascal; it works line by line and recognises the
// clauses by keywords standing as whole words anywhere in a line, as the
// rules below say.

#include <string>
#include <string_view>
#include <vector>

#include "platform/line_list.h"
#include "platform/windows_names.h"

namespace bgconv {

// The n-th field of `text` split at `delimiter`, the delimiter found without
// regard to case and only at character boundaries.  n = 0 gives the whole
// text; a field past the last gives the empty string; a negative n gives
// everything after the |n|-th delimiter ("x;y;z", ";", -1 gives "y;z").  An
// empty delimiter is never found.
std::string ExtractField(std::string_view text, std::string_view delimiter, int n);

// True when `line` holds `keyword` (single-byte characters) as a whole word,
// without regard to case: neither the character before it nor the one after
// it is a letter, a digit, "_" or a double-byte character, and it does not
// stand inside a quoted name ('...' on the line), so 'BatchSend.pas' holds no
// "end." and Beginner no "begin".  A keyword in a comment counts.  The empty
// keyword is never held.
bool HoldsKeyword(std::string_view line, std::string_view keyword);

// Looks for the first line from `start` on that holds `keyword`; stops early
// at a line that holds `stop_word` instead (a line holding both counts as
// found).  Both are matched by HoldsKeyword.  `index` is the line found, or
// the last line looked at, and is left as it was when `start` lies past the
// last line.
bool FindKeywordLine(const LineList& lines, int start, std::string_view keyword, std::string_view stop_word,
                     int& index);

// The quoted names between the line holding "uses" and the line holding
// "begin" (both lines excluded) of the program file at `path`, appended to
// `names` as written, in order, for names that name an existing file by
// Windows rules (see NameResolver) relative to the program's folder, or by
// themselves when absolute (the workspace then puts the folder in front).
//
// Makes the program's folder the current directory, and leaves it so; fails
// with EInOutError when it cannot, and with EFOpenError when the file cannot
// be read.  A path without a folder part is taken from the current directory.
void ScanDprUnits(const std::string& path, std::vector<std::string>& names);
void ScanDprUnits(const std::string& path, std::vector<std::string>& names, NameResolver& resolver);

// The same for a package file: the quoted names of every line after the line
// holding "requires" (found before any line holding "contains").  A path
// without a folder part yields nothing and is not read.
void ScanDpkUnits(const std::string& path, std::vector<std::string>& names);
void ScanDpkUnits(const std::string& path, std::vector<std::string>& names, NameResolver& resolver);

}  // namespace bgconv
