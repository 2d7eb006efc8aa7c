#include "external/work_folder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/file_status.h"
#include "platform/paths.h"
#include "platform/purge.h"

namespace bgconv {
namespace {

using Identity = FileId;

std::optional<Identity> IdentityOf(const std::string& path) { return FileIdOf(path); }

// The identities of `folder` and of every folder above it, up to the root.
std::set<Identity> FolderAndAbove(const std::string& folder) {
  std::set<Identity> identities;
  std::error_code error;
  std::filesystem::path path = std::filesystem::canonical(folder, error);
  if (error) return identities;
  for (;;) {
    if (const auto identity = IdentityOf(path.string())) identities.insert(*identity);
    if (path == path.root_path() || !path.has_parent_path()) break;
    path = path.parent_path();
  }
  return identities;
}

class WorkFolderCheck {
 public:
  explicit WorkFolderCheck(const std::string& folder) : folder_(folder) {}

  [[noreturn]] void Refuse(const std::string& reason) const {
    throw Exception("Cannot use " + folder_ + " as the work folder: " + reason);
  }

  // A missing folder is made only after every check: until then what lies
  // above it stands in for it.
  void Find() {
    struct stat info {};
    if (::stat(folder_.c_str(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) Refuse("it is not a folder");
      identity_ = Identity{info.st_dev, info.st_ino};
      above_ = FolderAndAbove(folder_);
      return;
    }
    if (errno != ENOENT) Refuse(std::strerror(errno));
    std::filesystem::path existing = std::filesystem::path(folder_).parent_path();
    while (existing.has_parent_path() && existing != existing.root_path() && !std::filesystem::exists(existing))
      existing = existing.parent_path();
    above_ = FolderAndAbove(existing.string());
  }

  void MakeIfMissing() {
    if (identity_) return;
    MakeMissingParents();
    if (!CreateWorkFolder(folder_)) Refuse(std::string("it cannot be created: ") + std::strerror(errno));
  }

  // The folders above it that are missing, as ~/.cache/bgconv/ of a new
  // user: private to the user, as the XDG rules ask.
  void MakeMissingParents() const {
    std::vector<std::filesystem::path> missing;
    for (auto path = std::filesystem::path(folder_).parent_path().parent_path();
         path.has_relative_path() && !std::filesystem::exists(path); path = path.parent_path())
      missing.push_back(path);
    for (auto path = missing.rbegin(); path != missing.rend(); ++path)
      if (::mkdir(path->c_str(), 0700) != 0 && errno != EEXIST)
        Refuse("the folder " + path->string() + " cannot be created: " + std::strerror(errno));
  }

  // Neither folder may hold the other.
  void ApartFromFolderOf(const std::string& row) {
    const std::string folder = FolderOf(row).empty() ? std::string(".") : FolderOf(row);
    if (!seen_folders_.insert(folder).second) return;
    const auto row_folder = IdentityOf(folder);
    if (!row_folder) return;
    if (row_folder == identity_) Refuse("it is the folder of " + row);
    if (above_.count(*row_folder) != 0) Refuse("it lies inside the folder of " + row);
    if (identity_ && FolderAndAbove(folder).count(*identity_) != 0) Refuse("it holds the folder of " + row);
  }

  void RememberFile(const std::string& row) {
    if (const auto file = IdentityOf(row)) row_files_.emplace(*file, row);
  }

  // What the folder holds: no row's file, and nothing at all unless this
  // program made the folder.
  void Contents() const {
    if (!identity_) return;
    DIR* listing = ::opendir(folder_.c_str());
    if (listing == nullptr) Refuse(std::strerror(errno));
    bool holds_something = false;
    std::optional<std::string> row_file;
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name == "." || name == ".." || name == kWorkFolderMarker) continue;
      holds_something = true;
      struct stat info {};
      if (::lstat((folder_ + name).c_str(), &info) != 0) continue;
      const auto row = row_files_.find({info.st_dev, info.st_ino});
      if (row != row_files_.end()) row_file = row->second;
    }
    ::closedir(listing);
    if (row_file) Refuse("it holds " + *row_file);
    if (holds_something && !IsMarkedWorkFolder(folder_))
      Refuse("it holds files and was not made by bgconv (it has no " + std::string(kWorkFolderMarker) +
             "); choose an empty folder");
  }

 private:
  std::string folder_;
  std::optional<Identity> identity_;  // none while the folder is missing
  std::set<Identity> above_;
  std::set<std::string> seen_folders_;
  std::map<Identity, std::string> row_files_;
};

}  // namespace

void CheckWorkFolder(const std::string& work_folder, const std::vector<std::string>& row_paths) {
  if (work_folder.empty()) throw Exception("The external engine needs a work folder");
  WorkFolderCheck check(work_folder);
  if (work_folder.front() != kPathSeparator) check.Refuse("it is not an absolute path");
  check.Find();
  for (const auto& row : row_paths) {
    check.ApartFromFolderOf(row);
    check.RememberFile(row);
  }
  check.Contents();
  check.MakeIfMissing();
}

}  // namespace bgconv
