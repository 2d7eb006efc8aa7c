#pragma once
// A console converter with ConCmd's command line:
//
//   ConCmd /o:gbk|/o:big5 [/f:d] MASK
//
// converts in place every file that MASK (a folder and a wildcard pattern)
// matches, except those that match an Ignore mask of the ConCmd.ini beside
// the program, and writes one CR LF line per file to standard output.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/choices.h"

namespace bgconv::concmd {

inline constexpr int kExitConverted = 0;   // every matched file converted (or ignored)
inline constexpr int kExitFileFailed = 1;  // at least one file could not be converted
inline constexpr int kExitUsage = 2;       // bad command line, unreadable folder or settings

struct Request {
  std::optional<Direction> direction;  // "/o:gbk": Big5 to GB2312; "/o:big5": GB2312 to Big5
  bool vocabulary = true;              // false with "/f:d" ("Not Vocabulary Convert")
  std::string mask;
};

// The switches are matched without regard to case, in any order; an
// argument of the form "/" letter ":" value is a switch, any other the mask.
// Fails with an Exception whose message says what is wrong.
Request ParseArguments(const std::vector<std::string>& args);

// True when the file name `name` matches the wildcard `pattern` ("*" any
// run of characters, "?" one byte), compared without regard to ASCII case.
// "*" and "*.*" match every name; a pattern ending in ".*" also matches the
// name without that dot ("Unit1.*" matches "Unit1"), as on Windows.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// True when `name` matches one of the comma-separated `patterns` (blanks
// around each are ignored).
bool MatchesAnyPattern(std::string_view name, std::string_view patterns);

// The files that `mask` matches: the folder part up to its last separator
// (the current folder when there is none) and the pattern after it ("*.*"
// when empty, or when the whole mask names a folder).  Regular files only,
// hidden ones (a name starting with ".") only for a pattern that starts with
// "." too, sorted by name, each as the folder part followed by its name.  Fails with
// an Exception naming the folder when it cannot be read.
std::vector<std::string> MatchingFiles(const std::string& mask);

// The whole program: `args` without the program name, `ini_path` the
// ConCmd.ini whose Ignore masks apply.  Returns the exit code.
int Run(const std::vector<std::string>& args, const std::string& ini_path, std::ostream& out);

}  // namespace bgconv::concmd
