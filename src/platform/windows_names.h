#pragma once
// File names as Windows projects write them, found on this file system.
// A Delphi project names its units as Windows resolves them: "Sub\Unit2.pas"
// is the file Unit2.pas in the folder Sub, and a name matches a file whatever
// the letter case ("Ras.pas" finds RAS.PAS).  Projects moved from Windows
// keep relying on both, so every name taken from a project goes through here.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bgconv {

// `name` with every "\" that stands as a character of its own replaced by the
// platform's separator.  A "\" that is the trail byte of a double-byte
// character (Big5 許 is B3 5C) stays.
std::string ToNativeSeparators(std::string_view name);

// Finds existing files by Windows rules.  The exact spelling wins; otherwise
// each component that is missing is looked up in its folder without regard
// to case.  Folder listings are kept for the life of the object, so one
// resolver serves one scan of a project.
class NameResolver {
 public:
  // The path of the existing file (not a folder) that `folder` followed
  // directly by `name` names, `name` being written the Windows way and
  // `folder` ending in a separator or empty.  An absolute name is no
  // exception: "/etc/passwd" after "/p/" is "/p//etc/passwd", so the result
  // always starts with `folder`.  The result keeps the spelling of the input
  // where it matched and is not normalised otherwise ("Sub/../Unit1.pas"
  // stays so).  None when no file matches.
  std::optional<std::string> Resolve(const std::string& folder, std::string_view name);

  // Resolve for a path in the platform's form.
  std::optional<std::string> ResolvePath(const std::string& path) { return Resolve({}, path); }

 private:
  const std::vector<std::string>& Entries(const std::string& folder);

  std::map<std::string, std::vector<std::string>> listings_;
};

}  // namespace bgconv
