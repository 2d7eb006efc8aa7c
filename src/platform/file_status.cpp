#include "platform/file_status.h"

#include <sys/stat.h>

#include <cerrno>

namespace bgconv {
namespace {

bool Stat(const std::string& path, Links links, struct stat& info) {
  return (links == Links::kFollow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) == 0;
}

}  // namespace

FileKind KindOf(const std::string& path, Links links) {
  struct stat info {};
  if (!Stat(path, links, info)) return (errno == ENOENT || errno == ENOTDIR) ? FileKind::kMissing : FileKind::kHidden;
  if (S_ISREG(info.st_mode)) return FileKind::kRegular;
  return S_ISDIR(info.st_mode) ? FileKind::kFolder : FileKind::kOther;
}

std::optional<FileId> FileIdOf(const std::string& path, Links links) {
  struct stat info {};
  if (!Stat(path, links, info)) return std::nullopt;
  return FileId{info.st_dev, info.st_ino};
}

}  // namespace bgconv
