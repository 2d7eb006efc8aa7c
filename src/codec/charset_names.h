#pragma once
// Rewrites the charset identifiers of a form's text for the target code page:
// the source page's identifier becomes the target's, and on request so does
// DEFAULT_CHARSET.  Matching ignores case but never looks inside a double-byte
// character, so a trail byte that happens to be an ASCII letter never takes
// part in a match.  Characters are read by the converter's rule for the code
// set the text is in (codec/code_set.h).

#include <string>
#include <string_view>

#include "codec/code_set.h"
#include "common/choices.h"

namespace bgconv {

inline constexpr std::string_view kBig5CharsetName = "CHINESEBIG5_CHARSET";
inline constexpr std::string_view kGbCharsetName = "GB2312_CHARSET";
inline constexpr std::string_view kDefaultCharsetName = "DEFAULT_CHARSET";

// `text_set` is the set `text` is in: the target set after the built-in
// conversion, the source set before the external engine converts.
// `direction` 0 ("BIG->GB") or 1 ("GB->BIG "); any other direction returns the
// text unchanged.  `change_default` is the "Chager Default Charset" choice.
std::string FixCharsetNames(std::string_view text, CodeSet text_set, Direction direction, bool change_default);

// `text` (in either code set) with CHINESEBIG5_CHARSET and GB2312_CHARSET
// rewritten to DEFAULT_CHARSET, which a Unicode program wants.
std::string ChineseCharsetsToDefault(std::string_view text);

// Every occurrence of `from` (single-byte characters only), compared without
// regard to case, replaced by `to` as spelled; left to right, without overlap.
std::string ReplaceIgnoringCase(std::string_view text, CodeSet text_set, std::string_view from, std::string_view to);

}  // namespace bgconv
