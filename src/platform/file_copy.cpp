#include "platform/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/errors.h"
#include "platform/file_descriptor.h"
#include "platform/temporary_file.h"

namespace bgconv {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Gives the complete temporary file the target's name unless that name is
// taken.  A hard link does both in one step; where the file system has no
// hard links, a test and a rename come close (another program could still
// create the name in between).
bool LinkInPlace(const std::string& temporary, const std::string& target, int& reason) {
  if (::link(temporary.c_str(), target.c_str()) == 0) return true;
  reason = errno;
  if (reason == EEXIST) return false;
  if (reason != EPERM && reason != ENOTSUP && reason != EOPNOTSUPP && reason != EMLINK) return false;
  if (Exists(target)) {
    reason = EEXIST;
    return false;
  }
  if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
  reason = errno;
  return false;
}

}  // namespace

CopyResult CopyFileNoReplace(const std::string& source, const std::string& target, WriteOptions options) {
  if (Exists(target)) return CopyResult::kTargetExists;
  const std::string bytes = ReadWholeFile(source);
  struct stat source_info {};
  if (::stat(source.c_str(), &source_info) != 0) throw EFOpenError(source);

  TemporaryFile temporary = CreateTemporaryBeside(target);
  const int fd = temporary.file.get();
  int reason = 0;
  bool ok =
      ::fchmod(fd, source_info.st_mode & 07777) == 0 && WriteAll(fd, bytes) && (!options.durable || ::fsync(fd) == 0);
  if (!ok) reason = errno;
  if (!temporary.file.Close() && ok) {
    ok = false;
    reason = errno;
  }
  bool linked = false;
  if (ok) linked = LinkInPlace(temporary.path, target, reason);
  ::unlink(temporary.path.c_str());  // after a link the target keeps the bytes; after a rename it is gone already
  if (linked) return CopyResult::kCopied;
  if (ok && reason == EEXIST) return CopyResult::kTargetExists;
  throw EFCreateError(target, std::strerror(reason));
}

}  // namespace bgconv
