#pragma once
// Real Chinese text for measuring the text classifier, held apart from the
// text its character counts come from (the manual pages of manpages-zh): the
// zh_TW and zh_CN message catalogs of the installed packages.  Makes lines
// that hold a given number of hanzi, and Delphi units with hanzi in their
// comments and strings, encoded as each test case needs.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bgconv::bench {

// Every translated message of the locale's catalogs
// (/usr/share/locale/LOCALE/LC_MESSAGES/*.mo, in name order), as UTF-8 lines.
std::vector<std::string> CatalogLines(std::string_view locale);

std::size_t CountHanzi(std::string_view utf8);

// Each line that holds at least `hanzi` hanzi, cut right after the last of
// them.
std::vector<std::string> LinesWithHanzi(const std::vector<std::string>& lines, std::size_t hanzi);

// `utf8` cut right after its `hanzi`-th hanzi; all of it when it holds fewer.
std::string CutAfterHanzi(std::string_view utf8, std::size_t hanzi);

// UTF-8 text in an ICU converter's code page ("windows-950-2000",
// "windows-936-2000"); nothing when a character has no code there.
std::optional<std::string> Encode(std::string_view utf8, const char* converter);

// True when every double-byte character of the cp936 `text` lies in GB2312.
bool IsGb2312(std::string_view text);

// A snippet of text for a unit: its encoded bytes (one line, no quote
// doubled yet) and how many hanzi it holds.
struct Snippet {
  std::string bytes;
  std::size_t hanzi;
};

// Gives the next snippet, of at most the given number of hanzi (and at least one).
using SnippetSource = std::function<Snippet(std::size_t)>;

// A Delphi unit (interface, a form class, event handlers) whose line
// comments, messages and captions hold snippets from `next` until exactly
// `hanzi` hanzi are placed; `number` names the unit.  Lines end in CR LF.
std::string MakeUnit(const SnippetSource& next, std::size_t hanzi, int number);

}  // namespace bgconv::bench
