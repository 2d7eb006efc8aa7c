#pragma once
// What a path names, asked of the file system once, in the words the rest of
// the program needs: its kind, and its identity (device and inode), which
// tells two names of one file from two files whatever their spelling.

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>

namespace bgconv {

enum class FileKind {
  kMissing,  // nothing there (or a folder on the way is missing)
  kRegular,
  kFolder,
  kOther,   // a pipe, a device, a socket, or (without following) a link
  kHidden,  // the system will not say (no permission on the way)
};

enum class Links { kFollow, kDoNotFollow };

FileKind KindOf(const std::string& path, Links links = Links::kFollow);

using FileId = std::pair<dev_t, ino_t>;

// The identity of the file at `path`; none when it cannot be looked at.
std::optional<FileId> FileIdOf(const std::string& path, Links links = Links::kFollow);

}  // namespace bgconv
