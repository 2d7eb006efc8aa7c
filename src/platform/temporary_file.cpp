#include "platform/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "platform/errors.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

constexpr std::string_view kPrefix = ".bgconv-";
constexpr std::string_view kRandomPart = "XXXXXX";

// FNV-1a: the same name gives the same hash on every run and machine.
std::string NameHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char byte : name) hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
  return text;
}

// The name without its random part: ".bgconv-1a2b3c4d-".
std::string StemOf(std::string_view name) { return std::string(kPrefix) + NameHash(name) + "-"; }

bool IsRandomPart(std::string_view text) {
  if (text.size() != kRandomPart.size()) return false;
  for (const char c : text)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

// The name a temporary file `entry` stands for, by either pattern:
// ".bgconv-<hash>-XXXXXX" gives the hash, "." + name + ".bgconv-XXXXXX" (as
// earlier versions named them) the name.
std::optional<std::string> TemporaryKey(std::string_view entry) {
  if (entry.size() < 1 + kPrefix.size() + kRandomPart.size() || entry.front() != '.') return std::nullopt;
  if (!IsRandomPart(entry.substr(entry.size() - kRandomPart.size()))) return std::nullopt;
  entry.remove_suffix(kRandomPart.size());
  if (entry.starts_with(kPrefix) && entry.size() == kPrefix.size() + 9 && entry.back() == '-')
    return "hash " + std::string(entry.substr(kPrefix.size(), 8));
  if (entry.ends_with(kPrefix) && entry.size() > kPrefix.size() + 1)
    return "name " + std::string(entry.substr(1, entry.size() - 1 - kPrefix.size()));
  return std::nullopt;
}

}  // namespace

TemporaryFile CreateTemporaryBeside(const std::string& target) {
  std::string path = FolderOf(target) + StemOf(FileNameOf(target)) + std::string(kRandomPart);
  const int fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0) throw EFCreateError(target, std::strerror(errno));
  return TemporaryFile{FileDescriptor(fd), std::move(path)};
}

void RemoveStaleTemporaries(const std::vector<std::string>& targets) {
  std::map<std::string, std::set<std::string>> keys_in;  // folder -> names and hashes of names
  for (const auto& target : targets) {
    const std::string folder = FolderOf(target);
    const std::string name = FileNameOf(target);
    auto& keys = keys_in[folder.empty() ? "." : folder];
    keys.insert("name " + name);
    keys.insert("hash " + NameHash(name));
  }
  for (const auto& [folder_path, keys] : keys_in) {
    DIR* folder = ::opendir(folder_path.c_str());
    if (folder == nullptr) continue;
    const int folder_fd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
      const auto key = TemporaryKey(entry->d_name);
      if (!key || keys.count(*key) == 0) continue;
      struct stat info {};
      if (::fstatat(folder_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
        ::unlinkat(folder_fd, entry->d_name, 0);
    }
    ::closedir(folder);
  }
}

}  // namespace bgconv
