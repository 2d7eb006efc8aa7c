#include "workspace/project_scanner.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/ansi_codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

// The first position, at a character boundary of `text`, where `needle`
// stands without regard to case; npos when there is none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle) {
  if (needle.empty()) return std::string_view::npos;
  for (std::size_t pos = 0; pos + needle.size() <= text.size(); pos += CharLengthAt(text, pos))
    if (SameTextIgnoringCase(text.substr(pos, needle.size()), needle)) return pos;
  return std::string_view::npos;
}

// A character that can stand in a word: an ASCII letter or digit, "_", or
// any character beyond ASCII (a Chinese character is a letter of an
// identifier, and a trail byte that happens to be a letter belongs to it).
// `byte` is the first byte of the character.
bool IsWordCharacter(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  const unsigned char upper = AnsiUpper(value);
  return value >= 0x80 || value == '_' || (value >= '0' && value <= '9') || (upper >= 'A' && upper <= 'Z');
}

void ChangeToFolder(const std::string& folder) {
  if (::chdir(folder.c_str()) != 0)
    throw EInOutError("Cannot change to the folder " + folder + ": " + std::strerror(errno));
}

// Makes the project's folder current and loads the project file.
LineList OpenProjectFile(const std::string& path) {
  RequireRegularFile(path);
  const std::string folder = FolderOf(path);
  // A bare file name stands in the current directory already.
  if (!folder.empty()) ChangeToFolder(folder);
  LineList lines;
  try {
    lines.LoadFromFile(path.substr(folder.size()));
  } catch (const EFOpenError&) {
    throw EFOpenError(path);  // named as the caller knows it
  }
  return lines;
}

// The names quoted on lines first..last (inclusive) that name existing
// files, relative to the current directory.
void CollectNames(const LineList& lines, int first, int last, std::vector<std::string>& names, NameResolver& resolver) {
  for (int i = first; i <= last; ++i) {
    const std::string field = ExtractField(lines.Get(static_cast<std::size_t>(i)), "'", 2);
    const std::string_view name = TrimBlanks(field);
    if (!name.empty() && resolver.Resolve({}, name)) names.emplace_back(name);
  }
}

}  // namespace

std::string ExtractField(std::string_view text, std::string_view delimiter, int n) {
  std::string_view result = text;
  std::string_view rest = text;
  const long count = std::labs(static_cast<long>(n));
  for (long i = 0; i < count; ++i) {
    const std::size_t found = FindIgnoringCase(rest, delimiter);
    if (found == std::string_view::npos) {
      result = rest;
      rest = {};
    } else {
      result = rest.substr(0, found);
      rest = rest.substr(found + delimiter.size());
    }
  }
  if (n < 0) result = rest;
  return std::string(result);
}

bool HoldsKeyword(std::string_view line, std::string_view keyword) {
  if (keyword.empty()) return false;
  std::size_t quotes = 0;
  for (std::size_t pos = 0; pos < line.size(); pos += CharLengthAt(line, pos)) quotes += line[pos] == '\'';
  std::size_t quotes_seen = 0;
  bool quoted = false;
  bool after_word = false;
  for (std::size_t pos = 0; pos < line.size(); pos += CharLengthAt(line, pos)) {
    if (line[pos] == '\'') {
      // A quote opens a name only when another one closes it on the line.
      quoted = quotes_seen % 2 == 0 && quotes_seen + 1 < quotes;
      ++quotes_seen;
    } else if (!quoted && !after_word && MatchesIgnoreCaseAt(line, pos, keyword)) {
      const std::size_t end = pos + keyword.size();
      if (end == line.size() || !IsWordCharacter(line[end])) return true;
    }
    after_word = IsWordCharacter(line[pos]);
  }
  return false;
}

bool FindKeywordLine(const LineList& lines, int start, std::string_view keyword, std::string_view stop_word,
                     int& index) {
  if (start < 0) start = 0;
  for (std::size_t i = static_cast<std::size_t>(start); i < lines.Count(); ++i) {
    index = static_cast<int>(i);
    if (HoldsKeyword(lines.Get(i), keyword)) return true;
    if (HoldsKeyword(lines.Get(i), stop_word)) return false;
  }
  return false;
}

void ScanDprUnits(const std::string& path, std::vector<std::string>& names) {
  NameResolver resolver;
  ScanDprUnits(path, names, resolver);
}

void ScanDprUnits(const std::string& path, std::vector<std::string>& names, NameResolver& resolver) {
  const LineList lines = OpenProjectFile(path);
  int uses_line = 0;
  if (!FindKeywordLine(lines, 0, "uses", "begin", uses_line)) return;
  // The search for "begin" starts on the uses line itself.
  int begin_line = uses_line;
  if (!FindKeywordLine(lines, uses_line, "begin", "end.", begin_line)) return;
  CollectNames(lines, uses_line + 1, begin_line - 1, names, resolver);
}

void ScanDpkUnits(const std::string& path, std::vector<std::string>& names) {
  NameResolver resolver;
  ScanDpkUnits(path, names, resolver);
}

void ScanDpkUnits(const std::string& path, std::vector<std::string>& names, NameResolver& resolver) {
  if (FolderOf(path).empty()) return;
  const LineList lines = OpenProjectFile(path);
  int requires_line = 0;
  if (!FindKeywordLine(lines, 0, "requires", "contains", requires_line)) return;
  CollectNames(lines, requires_line + 1, static_cast<int>(lines.Count()) - 1, names, resolver);
}

}  // namespace bgconv
