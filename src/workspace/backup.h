#pragma once
// Where each file of a run is copied when the files are backed up.  A file
// below the project's folder keeps its place there (Sub/Helper.pas goes to
// <backup>/Sub/Helper.pas), so two units of one name in different folders
// never meet; a file outside it (..\Common\Tools.pas, or any file when there
// is no project) goes to the backup folder itself, under a name with "~2",
// "~3", ... when another file of the run has taken its name.

#include <string>
#include <vector>

namespace bgconv {

// The backup copy's path for each of `paths` (absolute), in order.  The same
// path gets the same copy.  `project_folder` ends in a separator, or is empty
// when the files belong to no project; `backup_folder` ends in a separator.
std::vector<std::string> BackupTargets(const std::vector<std::string>& paths, const std::string& project_folder,
                                       const std::string& backup_folder);

}  // namespace bgconv
