#pragma once
// What the user converts: the open project, if any, and the list of file
// rows, one per file.  The model decides; the window only shows the rows and
// passes the user's choices in (the question of Add comes back through a
// callback).  Rows stay in the order they were added and are never
// refreshed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows_names.h"

namespace bgconv {

// The question Add asks before it loads a whole project.
inline constexpr std::string_view kLoadAllProjectFilesQuestion = "Are you load all Project Files ?";

// The text of the "Code" column of every row.
inline constexpr std::string_view kRowCode = "TW";

// One row of the file list, in the order of its columns.
struct FileRow {
  std::string caption;  // "File": the last component of the path
  std::string size;     // "Size": bytes, in decimal, when the row was added
  std::string code;     // "Code": always "TW"
  std::string path;     // "Path": the key by which every step finds the file
  int icon = 0;         // index into the file-type images, by extension
  bool operator==(const FileRow&) const = default;
};

// The size of the file at `path` in bytes; 0 when there is no file (a
// folder counts as none).
std::int64_t FileSizeOf(const std::string& path);

// The icon of a file-type extension (".pas", any case): 2 .DPR, 3 .DPK,
// 4 .PAS, 5 .DFM, 6 .BPL, 7 .DLL, 8 .TXT, 9 .EXE; 0 for anything else.
int FileTypeImageIndex(std::string_view extension);

class Workspace {
 public:
  using Question = std::function<bool(std::string_view question)>;

  const std::vector<FileRow>& Rows() const { return rows_; }
  // The project opened with OpenProject; empty when none.
  const std::string& ProjectPath() const { return project_path_; }
  // Close Project is offered exactly while a project is open.
  bool HasProject() const { return !project_path_.empty(); }

  // The "Add Config Files" option: whether loading a project lists its .dof
  // and .cfg files.
  bool AddConfigFiles() const { return add_config_files_; }
  // Sets the option; while a project is open the list is then built anew
  // from the project (rows added with Add are dropped).
  void SetAddConfigFiles(bool on);

  // Appends one row for `path`, whether or not the file exists.
  void AddFileRow(const std::string& path);
  // Appends the rows of the project file at `path`: its own row, its .dof and
  // .cfg (with Add Config Files), then every unit the file names and the form
  // file beside each unit.  Names are found by Windows rules (NameResolver),
  // and each row holds the path of the file that exists.  A unit's row always
  // starts with the project's folder: an absolute name stands after it too
  // ("/etc/passwd" gives "/p//etc/passwd"), a row whose file does not exist
  // and which the run skips as missing.  Leaves the project
  // path alone.  Fails with EFOpenError (rows added before stay) or
  // EInOutError.
  void LoadProject(const std::string& project);

  // Open Project: closes the open project, sets the project path, loads it.
  // The project path stays set when the load fails.
  void OpenProject(const std::string& path);
  void CloseProject();
  // Add: a project file asks `ask` kLoadAllProjectFilesQuestion; yes loads
  // the whole project below the rows there (the project path unchanged), no
  // adds the file with its .dof and .cfg where they exist.  A unit comes
  // with its form file where that exists; any other file alone.
  void Add(const std::string& path, const Question& ask);
  // Removes the selected row (none: nothing happens).  The file stays.
  void Delete(std::optional<std::size_t> selected);

 private:
  void AddExistingSibling(const std::string& path, std::string_view extension, NameResolver& resolver);

  std::vector<FileRow> rows_;
  std::string project_path_;
  bool add_config_files_ = true;
};

}  // namespace bgconv
