#include "platform/windows_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/ansi_codepage.h"
#include "platform/file_status.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

enum class Kind { kMissing, kFolder, kFile };

// What a name finds: a folder, a file (of any other kind), or nothing the
// system will show.
Kind Find(const std::string& path) {
  switch (KindOf(path)) {
    case FileKind::kMissing:
    case FileKind::kHidden:
      return Kind::kMissing;
    case FileKind::kFolder:
      return Kind::kFolder;
    case FileKind::kRegular:
    case FileKind::kOther:
      break;
  }
  return Kind::kFile;
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find(kPathSeparator, start);
    components.push_back(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return components;
}

}  // namespace

std::string ToNativeSeparators(std::string_view name) {
  std::string result(name);
  for (std::size_t pos = 0; pos < result.size(); pos += CharLengthAt(result, pos))
    if (result[pos] == '\\') result[pos] = kPathSeparator;
  return result;
}

std::optional<std::string> NameResolver::Resolve(const std::string& folder, std::string_view name) {
  if (name.empty()) return std::nullopt;
  const std::string native = ToNativeSeparators(name);
  // An absolute name stands after the folder too: a project names no file
  // outside the folder it is given.
  const std::string full = folder + native;
  switch (Find(full)) {
    case Kind::kFile:
      return full;
    case Kind::kFolder:
      return std::nullopt;
    case Kind::kMissing:
      break;
  }

  // Some component is spelt differently from the file system: rebuild the
  // path one component at a time.
  const auto components = Components(full);
  std::string resolved;
  for (std::size_t i = 0; i < components.size(); ++i) {
    const std::string_view component = components[i];
    const bool last = i + 1 == components.size();
    std::string candidate = resolved + std::string(component);
    if (!component.empty() && component != "." && component != ".." && Find(candidate) == Kind::kMissing) {
      const auto& entries = Entries(resolved.empty() ? std::string(".") : resolved);
      const auto match = std::find_if(entries.begin(), entries.end(),
                                      [&](const std::string& entry) { return SameTextIgnoringCase(entry, component); });
      if (match == entries.end()) return std::nullopt;
      candidate = resolved + *match;
    }
    if (last) return Find(candidate) == Kind::kFile ? std::optional<std::string>(candidate) : std::nullopt;
    resolved = candidate + kPathSeparator;
  }
  return std::nullopt;
}

const std::vector<std::string>& NameResolver::Entries(const std::string& folder) {
  auto found = listings_.find(folder);
  if (found != listings_.end()) return found->second;
  std::vector<std::string> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path().filename().string());
  // Name order, so that of two names differing only in case the same one
  // wins on every run.
  std::sort(entries.begin(), entries.end());
  return listings_.emplace(folder, std::move(entries)).first->second;
}

}  // namespace bgconv
