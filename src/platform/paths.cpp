#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(length));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  return path.substr(0, path.rfind(kPathSeparator) + 1);
}

}  // namespace bgconv
