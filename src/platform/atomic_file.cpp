#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/errors.h"
#include "platform/file_attributes.h"
#include "platform/file_descriptor.h"
#include "platform/temporary_file.h"

namespace bgconv {
namespace {

mode_t DefaultFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The file that a write to `path` must replace: the target of a symbolic
// link, so that the link itself survives.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    std::error_code error;
    auto resolved = std::filesystem::weakly_canonical(path, error);
    if (!error) return resolved.string();
  }
  return path;
}

}  // namespace

namespace {

// `flags` adds to O_RDONLY; with `regular_only`, anything but a regular file
// (a pipe, a device) fails instead of being read.
std::string ReadOpenFile(int flags, bool regular_only, const std::string& path, ReadSharing sharing) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
  if (file.get() < 0) throw EFOpenError(path);
  const int lock = sharing == ReadSharing::kExclusive ? LOCK_EX : LOCK_SH;
  if (::flock(file.get(), lock | LOCK_NB) != 0 && errno == EWOULDBLOCK) throw EFOpenError(path);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) throw EFOpenError(path);
  if (regular_only && !S_ISREG(info.st_mode)) throw EFOpenError(path);

  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFOpenError(path);
    }
    if (got == 0) break;
    content.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return content;
}

}  // namespace

std::string ReadWholeFile(const std::string& path, ReadSharing sharing) {
  return ReadOpenFile(0, false, path, sharing);
}

std::string ReadRegularFileNoFollow(const std::string& path) {
  return ReadOpenFile(O_NOFOLLOW | O_NONBLOCK, true, path, ReadSharing::kDenyWriters);
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw EFCreateError(path, std::strerror(errno));
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (file.get() < 0) throw EFCreateError(path, std::strerror(errno));
  if (!WriteAll(file.get(), bytes) || !file.Close()) {
    const int reason = errno;
    ::unlink(path.c_str());
    throw EFCreateError(path, std::strerror(reason));
  }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, WriteOptions options) {
  WriteFileAtomicallyWith(
      path, [bytes](int fd) { return WriteAll(fd, bytes); }, options);
}

void WriteFileAtomicallyWith(const std::string& path, const std::function<bool(int fd)>& fill, WriteOptions options) {
  const std::string target = ResolveTarget(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) throw EFCreateError(path, std::strerror(EISDIR));
  // The folder would allow the rename, but a file the user may not write is
  // not the user's to replace.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    throw EFCreateError(path, std::strerror(errno));

  std::optional<TemporaryFile> temporary;
  try {
    temporary.emplace(CreateTemporaryBeside(target));
  } catch (const EFCreateError& error) {
    throw EFCreateError(path, error.Reason());
  }
  const int fd = temporary->file.get();

  // The system's reason for the first step that failed, for the message.
  int reason = 0;
  const auto step = [&reason](bool done) {
    if (!done && reason == 0) reason = errno;
    return done;
  };
  bool ok = true;
  if (exists) {
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      // Keeps the owner where we may (running as root); a plain user keeps
      // the file as its own, as any editor would.
      [[maybe_unused]] const int ignored = ::fchown(fd, existing.st_uid, existing.st_gid);
    }
    if (const int error = CopyExtendedAttributes(target, fd); error != 0) {
      reason = error;
      ok = false;
    }
  }
  // After the ACL: with one, the group bits of the mode are its mask.
  ok = ok && step(::fchmod(fd, exists ? (existing.st_mode & 07777) : DefaultFileMode()) == 0);
  try {
    ok = ok && step(fill(fd));
  } catch (...) {
    ::unlink(temporary->path.c_str());
    throw;
  }
  if (ok && options.durable) ok = step(::fsync(fd) == 0);
  ok = step(temporary->file.Close()) && ok;
  ok = ok && step(::rename(temporary->path.c_str(), target.c_str()) == 0);
  if (!ok) {
    ::unlink(temporary->path.c_str());
    throw EFCreateError(path, std::strerror(reason));
  }
}

}  // namespace bgconv
