#include "platform/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/ansi_codepage.h"
#include "platform/errors.h"

namespace bgconv {

std::string EnsureTrailingSeparator(std::string_view path, char separator) {
  std::string result(path);
  if (!EndsWithSingleByte(path, separator)) result += separator;
  return result;
}

std::string EnsureTrailingBackslash(std::string_view path) { return EnsureTrailingSeparator(path, kPathSeparator); }

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const std::size_t name_start = path.rfind(kPathSeparator) + 1;  // npos + 1 == 0
  const std::size_t dot = path.rfind('.');
  // A dot that opens the name (".profile") starts no extension.
  const bool has_extension = dot != std::string_view::npos && dot > name_start;
  std::string result(has_extension ? path.substr(0, dot) : path);
  result += extension;
  return result;
}

std::string FolderOf(std::string_view path) {
  return std::string(path.substr(0, path.rfind(kPathSeparator) + 1));  // npos + 1 == 0: empty
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(path.rfind(kPathSeparator) + 1));  // npos + 1 == 0
}

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (auto& byte : result)
    if (byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 'a' + 'A');
  return result;
}

std::string UpperExtensionOf(std::string_view path) { return UpperAscii(ExtensionOf(path)); }

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path.front() == kPathSeparator) return path;
  std::error_code error;
  const auto current = std::filesystem::current_path(error);
  if (error) throw EInOutError("Cannot find the current folder: " + error.message());
  return EnsureTrailingBackslash(current.string()) + path;
}

std::string ExecutableFolder() { return FolderOf(ExecutablePath()); }

namespace {

// PREFIX/ for PREFIX/bin/, else empty.
std::string InstallPrefixOf(const std::string& exe_folder) {
  constexpr std::string_view kBin = "/bin/";
  if (exe_folder.size() < kBin.size() || exe_folder.compare(exe_folder.size() - kBin.size(), kBin.size(), kBin) != 0)
    return {};
  return exe_folder.substr(0, exe_folder.size() - kBin.size() + 1);
}

}  // namespace

bool IsInstalledProgramFolder(const std::string& exe_folder) {
  const std::string prefix = InstallPrefixOf(exe_folder);
  return !prefix.empty() && PathExists(prefix + std::string(kInstalledConverterFolder) + "ConCmd");
}

std::string ConverterFolderOf(const std::string& exe_folder) {
  if (IsInstalledProgramFolder(exe_folder)) return InstallPrefixOf(exe_folder) + std::string(kInstalledConverterFolder);
  return EnsureTrailingBackslash(exe_folder) + "ConCmd" + kPathSeparator;
}

std::vector<std::string> HomeFolders() {
  std::vector<std::string> homes;
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') homes.emplace_back(home);
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
    homes.emplace_back(found->pw_dir);
  return homes;
}

std::string HomeFolder() {
  const std::vector<std::string> homes = HomeFolders();
  return homes.empty() ? std::string() : homes.front();
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

void RequireRegularFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
    throw EFOpenError(path, "not a regular file");
}

std::string ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) throw EOSError(std::string("Cannot find the program's own path: ") + std::strerror(errno));
    if (static_cast<std::size_t>(length) < buffer.size())
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace bgconv
