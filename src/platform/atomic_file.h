#pragma once
// Whole-file reads and writes.  A write never leaves a truncated or
// half-written target: the bytes go to a temporary file beside it, which is
// then renamed over it, so at every instant the target holds either its old
// content or the complete new one.

#include <functional>
#include <string>
#include <string_view>

namespace bgconv {

struct WriteOptions {
  // Flush the new content to the disk before the rename; survives a power
  // loss, at the price of one sync per file.
  bool durable = false;
};

enum class ReadSharing {
  kDenyWriters,  // others may read the file meanwhile, but no writer that locks it
  kExclusive,    // nobody else that locks the file may open it meanwhile
};

// All bytes of the file.  Fails with EFOpenError when it cannot be opened or
// read, or while another process holds a lock on it that `sharing` excludes.
// The lock is advisory (flock) and lasts for the read.
std::string ReadWholeFile(const std::string& path, ReadSharing sharing = ReadSharing::kDenyWriters);

// ReadWholeFile of a file that must be a regular file under its own name: a
// symbolic link fails with EFOpenError instead of being followed.
std::string ReadRegularFileNoFollow(const std::string& path);

// Replaces the file at `path` by `bytes`, keeping its permission bits (a new
// file gets the usual 0666 less the umask).  A symbolic link is followed: the
// file it names is replaced, the link stays.  Fails with EFCreateError and
// leaves the old content untouched.
void WriteFileAtomically(const std::string& path, std::string_view bytes, WriteOptions options = {});

// WriteFileAtomically of the bytes that `fill` writes to the descriptor of
// the temporary file: it returns false when a write fails (errno tells why).
// When it throws, the temporary file is removed and the exception goes on;
// the target is untouched either way.
void WriteFileAtomicallyWith(const std::string& path, const std::function<bool(int fd)>& fill,
                             WriteOptions options = {});

// Writes `bytes` to a new file at `path`, after removing whatever stood there
// (a symbolic link is removed, never followed).  For copies that belong to
// the program alone, such as the external engine's work copies.  Fails with
// EFCreateError; a partly written file is removed again.
void WriteNewFile(const std::string& path, std::string_view bytes);

}  // namespace bgconv
