#include "platform/purge.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_descriptor.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

constexpr std::string_view kMarkerText =
    "This folder is the work folder of bgconv, which created it.\r\n"
    "bgconv deletes it, with everything in it, when it exits.\r\n";

[[noreturn]] void Fail(std::string_view action, const std::string& path, int error) {
  throw EInOutError(std::string(action) + " " + path + ": " + std::strerror(error));
}

[[noreturn]] void Refuse(const std::string& path, std::string_view reason) {
  throw EInOutError("Refusing to delete " + path + ": " + std::string(reason));
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
  return path;
}

// The path with every symbolic link and "." or ".." resolved; empty when it
// cannot be resolved.
std::string Canonical(const std::string& path, std::error_code& error) {
  auto canonical = std::filesystem::canonical(path, error);
  return error ? std::string() : canonical.string();
}

bool IsHomeFolder(const std::string& canonical) {
  const std::vector<std::string> homes = HomeFolders();
  return std::any_of(homes.begin(), homes.end(), [&](const std::string& home) {
    std::error_code ignored;
    return Canonical(home, ignored) == canonical;
  });
}

// The root of a file system: "/" or a mount point, told by a device or an
// inode shared with the parent.
bool IsFileSystemRoot(const std::string& canonical, const struct stat& info) {
  if (canonical == "/") return true;
  struct stat parent {};
  if (::stat((canonical + "/..").c_str(), &parent) != 0) return false;
  return parent.st_dev != info.st_dev || parent.st_ino == info.st_ino;
}

std::vector<std::string> EntryNames(int folder_fd, const std::string& path) {
  const int listing_fd = ::dup(folder_fd);
  if (listing_fd < 0) Fail("Cannot read the folder", path, errno);
  DIR* listing = ::fdopendir(listing_fd);
  if (listing == nullptr) {
    const int error = errno;
    ::close(listing_fd);
    Fail("Cannot read the folder", path, error);
  }
  ::rewinddir(listing);
  std::vector<std::string> names;
  errno = 0;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
    errno = 0;
  }
  const int error = errno;
  ::closedir(listing);
  if (error != 0) Fail("Cannot read the folder", path, error);
  std::sort(names.begin(), names.end());
  return names;
}

// A folder whose owner may not write or search it is what a read-only folder
// is elsewhere: its entries could not be deleted.  Opens it up where we may;
// where we may not, the deletion that follows reports the system's reason.
void AllowDeletingEntries(int folder_fd) {
  struct stat info {};
  if (::fstat(folder_fd, &info) != 0) return;
  constexpr mode_t kOwnerAll = S_IRWXU;
  if ((info.st_mode & kOwnerAll) != kOwnerAll) ::fchmod(folder_fd, (info.st_mode & 07777) | kOwnerAll);
}

int OpenSubfolder(int parent_fd, const std::string& name, const struct stat& info) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(parent_fd, name.c_str(), kFlags);
  if (fd < 0 && errno == EACCES && info.st_uid == ::geteuid()) {
    // A folder without read permission for its owner: grant it and retry.
    ::fchmodat(parent_fd, name.c_str(), (info.st_mode & 07777) | S_IRWXU, 0);
    fd = ::openat(parent_fd, name.c_str(), kFlags);
  }
  return fd;
}

void PurgeEntries(int folder_fd, const std::string& path, dev_t device, std::string_view keep) {
  AllowDeletingEntries(folder_fd);
  for (const auto& name : EntryNames(folder_fd, path)) {
    if (name == keep) continue;
    const std::string entry_path = path + kPathSeparator + name;
    struct stat info {};
    if (::fstatat(folder_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) Fail("Cannot delete", entry_path, errno);
    if (!S_ISDIR(info.st_mode)) {
      // Files, and symbolic links themselves: their targets are not ours.
      if (::unlinkat(folder_fd, name.c_str(), 0) != 0) Fail("Cannot delete", entry_path, errno);
      continue;
    }
    if (info.st_dev != device) Refuse(entry_path, "another file system is mounted there");
    {
      FileDescriptor subfolder(OpenSubfolder(folder_fd, name, info));
      if (subfolder.get() < 0) Fail("Cannot open the folder", entry_path, errno);
      PurgeEntries(subfolder.get(), entry_path, device, {});
    }
    if (::unlinkat(folder_fd, name.c_str(), AT_REMOVEDIR) != 0) Fail("Cannot delete the folder", entry_path, errno);
  }
}

}  // namespace

bool CreateWorkFolder(const std::string& folder) {
  const std::string path = WithoutTrailingSeparators(folder);
  if (path.empty()) return false;
  if (::mkdir(path.c_str(), 0777) != 0) {
    struct stat info {};
    return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }
  try {
    WriteFileAtomically(path + kPathSeparator + std::string(kWorkFolderMarker), kMarkerText);
  } catch (const Exception&) {
    // Without its marker the folder is never purged; it stays, empty.
  }
  return true;
}

namespace {

// A work folder opened for a purge, after every check that it is one.
struct CheckedWorkFolder {
  FileDescriptor top;
  std::string canonical;
  dev_t device;
};

CheckedWorkFolder OpenWorkFolderToPurge(const std::string& folder) {
  const std::string path = WithoutTrailingSeparators(folder);
  if (path.empty()) throw EInOutError("Cannot delete a folder without a name");

  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) Fail("Cannot delete the folder", path, errno);
  if (S_ISLNK(info.st_mode)) Refuse(path, "it is a symbolic link");
  if (!S_ISDIR(info.st_mode)) Fail("Cannot delete the folder", path, ENOTDIR);
  std::error_code error;
  std::string canonical = Canonical(path, error);
  if (error) throw EInOutError("Cannot delete the folder " + path + ": " + error.message());
  if (IsFileSystemRoot(canonical, info)) Refuse(path, "it is the root of a file system");
  if (IsHomeFolder(canonical)) Refuse(path, "it is the home folder");

  // From here on the resolved path: "work/." or "a/../work" name the same
  // folder, but only the plain form can be removed at the end.
  FileDescriptor top(::open(canonical.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (top.get() < 0) Fail("Cannot open the folder", path, errno);
  struct stat opened {};
  if (::fstat(top.get(), &opened) != 0) Fail("Cannot open the folder", path, errno);
  if (opened.st_dev != info.st_dev || opened.st_ino != info.st_ino) Refuse(path, "it changed while being checked");
  const std::string marker(kWorkFolderMarker);
  struct stat marker_info {};
  if (::fstatat(top.get(), marker.c_str(), &marker_info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(marker_info.st_mode))
    Refuse(path, "it is not a work folder created by bgconv (it holds no " + marker + ")");
  return {std::move(top), std::move(canonical), info.st_dev};
}

}  // namespace

void PurgeDirectory(const std::string& folder) {
  const CheckedWorkFolder work = OpenWorkFolderToPurge(folder);
  const std::string marker(kWorkFolderMarker);
  PurgeEntries(work.top.get(), work.canonical, work.device, marker);
  if (::unlinkat(work.top.get(), marker.c_str(), 0) != 0)
    Fail("Cannot delete", work.canonical + kPathSeparator + marker, errno);
  if (::rmdir(work.canonical.c_str()) != 0) Fail("Cannot delete the folder", WithoutTrailingSeparators(folder), errno);
}

void EmptyWorkFolder(const std::string& folder) {
  const CheckedWorkFolder work = OpenWorkFolderToPurge(folder);
  PurgeEntries(work.top.get(), work.canonical, work.device, kWorkFolderMarker);
}

bool IsMarkedWorkFolder(const std::string& folder) {
  struct stat info {};
  return ::lstat((EnsureTrailingBackslash(folder) + std::string(kWorkFolderMarker)).c_str(), &info) == 0 &&
         S_ISREG(info.st_mode);
}

}  // namespace bgconv
