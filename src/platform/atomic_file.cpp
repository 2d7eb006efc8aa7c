#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/errors.h"

namespace bgconv {
namespace {

// Closes a descriptor when the scope ends, whatever way it ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) return true;
    const bool ok = ::close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

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

std::string TemporaryPattern(const std::string& target) {
  const std::filesystem::path target_path(target);
  auto folder = target_path.parent_path();
  if (folder.empty()) folder = ".";
  return (folder / ("." + target_path.filename().string() + ".bgconv-XXXXXX")).string();
}

}  // namespace

std::string ReadWholeFile(const std::string& path, ReadSharing sharing) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw EFOpenError(path);
  const int lock = sharing == ReadSharing::kExclusive ? LOCK_EX : LOCK_SH;
  if (::flock(file.get(), lock | LOCK_NB) != 0 && errno == EWOULDBLOCK) throw EFOpenError(path);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) throw EFOpenError(path);

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

void WriteFileAtomically(const std::string& path, std::string_view bytes, WriteOptions options) {
  const std::string target = ResolveTarget(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) throw EFCreateError(path, std::strerror(EISDIR));

  std::string temporary = TemporaryPattern(target);
  FileDescriptor file(::mkstemp(temporary.data()));
  if (file.get() < 0) throw EFCreateError(path, std::strerror(errno));

  // The system's reason for the first step that failed, for the message.
  int reason = 0;
  const auto step = [&reason](bool done) {
    if (!done && reason == 0) reason = errno;
    return done;
  };
  const mode_t mode = exists ? (existing.st_mode & 07777) : DefaultFileMode();
  bool ok = step(::fchmod(file.get(), mode) == 0);
  if (ok && exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    // Keeps the owner where we may (running as root); a plain user keeps
    // the file as its own, as any editor would.
    [[maybe_unused]] const int ignored = ::fchown(file.get(), existing.st_uid, existing.st_gid);
  }
  ok = ok && step(WriteAll(file.get(), bytes));
  if (ok && options.durable) ok = step(::fsync(file.get()) == 0);
  ok = step(file.Close()) && ok;
  ok = ok && step(::rename(temporary.c_str(), target.c_str()) == 0);
  if (!ok) {
    ::unlink(temporary.c_str());
    throw EFCreateError(path, std::strerror(reason));
  }
}

}  // namespace bgconv
