#include "workspace/workspace.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/errors.h"
#include "platform/paths.h"
#include "workspace/project_scanner.h"

namespace bgconv {
namespace {

// The option files of a project, in the order their rows are added.
constexpr std::string_view kOptionFileExtensions[] = {".dof", ".cfg"};

struct ImageOfExtension {
  std::string_view extension;
  int index;
};

// Index 1 is an image no row uses.
constexpr ImageOfExtension kFileTypeImages[] = {
    {".DPR", 2}, {".DPK", 3}, {".PAS", 4}, {".DFM", 5}, {".BPL", 6}, {".DLL", 7}, {".TXT", 8}, {".EXE", 9},
};

bool IsProjectExtension(std::string_view upper_extension) {
  return upper_extension == ".DPR" || upper_extension == ".DPK";
}

}  // namespace

std::int64_t FileSizeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
  return static_cast<std::int64_t>(info.st_size);
}

int FileTypeImageIndex(std::string_view extension) {
  const std::string upper = UpperAscii(extension);
  for (const auto& image : kFileTypeImages)
    if (upper == image.extension) return image.index;
  return 0;
}

void Workspace::AddFileRow(const std::string& path) {
  const std::string full = AbsolutePath(path);
  rows_.push_back(FileRow{FileNameOf(full), std::to_string(FileSizeOf(full)), std::string(kRowCode), full,
                          FileTypeImageIndex(ExtensionOf(full))});
}

void Workspace::AddExistingSibling(const std::string& path, std::string_view extension, NameResolver& resolver) {
  if (const auto sibling = resolver.ResolvePath(ChangeFileExt(path, extension))) AddFileRow(*sibling);
}

void Workspace::LoadProject(const std::string& project) {
  const std::string path = AbsolutePath(project);
  const std::string folder = FolderOf(path);
  NameResolver resolver;
  std::vector<std::string> names;
  if (UpperExtensionOf(path) == ".DPR") {
    ScanDprUnits(path, names, resolver);
  } else {
    ScanDpkUnits(path, names, resolver);
  }

  AddFileRow(path);
  if (add_config_files_)
    for (const auto extension : kOptionFileExtensions) AddExistingSibling(path, extension, resolver);
  for (const auto& name : names) {
    // The file may have gone since the scan saw it; the row then names the
    // path as written, and the run skips it.
    const std::string unit = resolver.Resolve(folder, name).value_or(folder + ToNativeSeparators(name));
    AddFileRow(unit);
    AddExistingSibling(unit, ".dfm", resolver);
  }
}

void Workspace::OpenProject(const std::string& path) {
  if (HasProject()) CloseProject();
  project_path_ = AbsolutePath(path);
  LoadProject(project_path_);
}

void Workspace::CloseProject() {
  project_path_.clear();
  rows_.clear();
}

void Workspace::SetAddConfigFiles(bool on) {
  add_config_files_ = on;
  if (!HasProject()) return;
  rows_.clear();
  LoadProject(project_path_);
}

void Workspace::Add(const std::string& path, const Question& ask) {
  const std::string full = AbsolutePath(path);
  const std::string upper = UpperExtensionOf(full);
  NameResolver resolver;
  if (IsProjectExtension(upper)) {
    if (ask(kLoadAllProjectFilesQuestion)) {
      LoadProject(full);
      return;
    }
    // The option files come with the project file here, whatever the Add
    // Config Files option says.
    AddFileRow(full);
    for (const auto extension : kOptionFileExtensions) AddExistingSibling(full, extension, resolver);
    return;
  }
  AddFileRow(full);
  if (upper == ".PAS") AddExistingSibling(full, ".dfm", resolver);
}

void Workspace::Delete(std::optional<std::size_t> selected) {
  if (selected && *selected < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*selected));
}

}  // namespace bgconv
