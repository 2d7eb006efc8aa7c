#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace bgconv {

bool FolderLocks::TryLock(const std::string& folder) {
  FileDescriptor handle(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat info {};
  if (handle.get() < 0 || ::fstat(handle.get(), &info) != 0) return true;
  if (!held_ids_.emplace(info.st_dev, info.st_ino).second) return true;
  while (::flock(handle.get(), LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    held_ids_.erase({info.st_dev, info.st_ino});
    return error != EWOULDBLOCK;
  }
  held_.push_back(std::move(handle));
  return true;
}

}  // namespace bgconv
