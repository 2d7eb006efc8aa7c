#include "concmd.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>

#include "codec/converter.h"
#include "platform/ansi_codepage.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_status.h"
#include "platform/paths.h"
#include "settings/concmd_ini.h"
#include "vocabulary.h"

namespace bgconv::concmd {
namespace {

constexpr std::string_view kUsage =
    "Usage: ConCmd /o:gbk|/o:big5 [/f:d] MASK\r\n"
    "Converts every file that MASK (a folder and a wildcard pattern, e.g. work/*.*)\r\n"
    "matches in place, except those that match the Ignore masks of the ConCmd.ini\r\n"
    "beside this program.\r\n"
    "  /o:gbk    Big5 to GB2312\r\n"
    "  /o:big5   GB2312 to Big5\r\n"
    "  /f:d      character by character with the tables (no vocabulary conversion)\r\n";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

bool IsSwitch(std::string_view arg) {
  return arg.size() >= 3 && arg[0] == '/' && std::isalpha(static_cast<unsigned char>(arg[1])) && arg[2] == ':' &&
         arg.find('/', 1) == std::string_view::npos;
}

unsigned char Folded(char c) { return AnsiUpper(static_cast<unsigned char>(c)); }

bool IsFolder(const std::string& path) { return KindOf(path) == FileKind::kFolder; }

// A symbolic link is no file of the folder: converting through it would
// rewrite a file that lies elsewhere.
bool IsRegularFile(const std::string& path) { return KindOf(path, Links::kDoNotFollow) == FileKind::kRegular; }

void Line(std::ostream& out, std::string_view text) { out << text << "\r\n" << std::flush; }

}  // namespace

Request ParseArguments(const std::vector<std::string>& args) {
  Request request;
  std::optional<std::string> mask;
  for (const std::string& arg : args) {
    if (!IsSwitch(arg)) {
      if (mask) throw Exception("More than one mask: " + *mask + " and " + arg);
      mask = arg;
      continue;
    }
    const std::string lower = Lower(arg);
    if (lower == "/o:gbk") {
      request.direction = Direction::kBigToGb;
    } else if (lower == "/o:big5") {
      request.direction = Direction::kGbToBig;
    } else if (lower == "/f:d") {
      request.vocabulary = false;
    } else {
      throw Exception("Unknown switch " + arg);
    }
  }
  if (!request.direction) throw Exception("No output switch: /o:gbk or /o:big5 is required");
  if (!mask || mask->empty()) throw Exception("No mask: name the files to convert, e.g. work/*.*");
  request.mask = *mask;
  return request;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && name.find('.') == std::string_view::npos &&
      MatchesPattern(name, pattern.substr(0, pattern.size() - 2))) {
    return true;
  }
  // Greedy matching that returns to the last "*" on a mismatch.
  std::size_t n = 0, p = 0;
  std::size_t star = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Folded(pattern[p]) == Folded(name[n]))) {
      ++n, ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_n = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool MatchesAnyPattern(std::string_view name, std::string_view patterns) {
  while (!patterns.empty()) {
    const std::size_t comma = patterns.find(',');
    std::string_view pattern = patterns.substr(0, comma);
    patterns = comma == std::string_view::npos ? std::string_view() : patterns.substr(comma + 1);
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    if (!pattern.empty() && MatchesPattern(name, pattern)) return true;
  }
  return false;
}

std::vector<std::string> MatchingFiles(const std::string& mask) {
  std::string folder;
  std::string pattern;
  if (IsFolder(mask)) {
    folder = EnsureTrailingBackslash(mask);
  } else {
    const std::size_t slash = mask.rfind(kPathSeparator);
    folder = slash == std::string::npos ? std::string() : mask.substr(0, slash + 1);
    pattern = slash == std::string::npos ? mask : mask.substr(slash + 1);
  }
  if (pattern.empty()) pattern = "*.*";

  const std::string listed = folder.empty() ? "." : folder;
  DIR* dir = ::opendir(listed.c_str());
  if (dir == nullptr) throw Exception("Cannot read the folder " + listed + ": " + std::strerror(errno));
  std::vector<std::string> files;
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    // Hidden files (the work folder's marker among them) only when asked
    // for by name, as a shell's wildcards treat them.
    if (name[0] == '.' && pattern[0] != '.') continue;
    if (!MatchesPattern(name, pattern)) continue;
    if (IsRegularFile(folder + name)) files.push_back(folder + name);
    errno = 0;
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) throw Exception("Cannot read the folder " + listed + ": " + std::strerror(error));
  std::sort(files.begin(), files.end());
  return files;
}

int Run(const std::vector<std::string>& args, const std::string& ini_path, std::ostream& out) {
  if (args.size() == 1 && (args[0] == "/?" || args[0] == "--help")) {
    out << kUsage << std::flush;
    return kExitConverted;
  }
  std::vector<std::string> files;
  std::string ignore;
  std::optional<VocabularyConverter> vocabulary;
  Request request;
  try {
    request = ParseArguments(args);
  } catch (const Exception& error) {
    Line(out, std::string("Error: ") + error.what());
    out << kUsage << std::flush;
    return kExitUsage;
  }
  try {
    ignore = LoadConCmdIni(ini_path).ignore_masks;
    files = MatchingFiles(request.mask);
    if (request.vocabulary && !files.empty()) vocabulary.emplace(*request.direction);
  } catch (const std::exception& error) {
    Line(out, "Error: " + FailureText(error));
    return kExitUsage;
  }
  if (files.empty()) Line(out, "No file matches " + request.mask);

  int failed = 0;
  for (const std::string& path : files) {
    const std::string name = path.substr(path.rfind(kPathSeparator) + 1);
    if (MatchesAnyPattern(name, ignore)) {
      Line(out, "Ignored " + path);
      continue;
    }
    try {
      const std::string bytes = ReadWholeFile(path);
      const std::string converted = vocabulary ? vocabulary->Convert(bytes) : ConvertText(bytes, *request.direction);
      if (converted != bytes) WriteFileAtomically(path, converted);
      Line(out, "Converted " + path);
    } catch (const std::exception& error) {
      ++failed;
      Line(out, "Error: " + FailureTextFor(path, error));
    }
  }
  return failed == 0 ? kExitConverted : kExitFileFailed;
}

}  // namespace bgconv::concmd
