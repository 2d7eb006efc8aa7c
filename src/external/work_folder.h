#pragma once
// The external engine's work folder, checked before a pass puts anything into
// it.  The converter rewrites every file in the folder in place and the pass
// deletes each work copy after it has gone back, so a folder that is, holds
// or lies inside the user's project, or a folder of the user's own, would
// lose the user's files.

#include <string>
#include <vector>

namespace bgconv {

// Makes sure a pass over copies of the files at `row_paths` may use
// `work_folder` (an absolute path ending in a separator), and creates and
// marks it when it is missing.  Fails with an Exception naming the folder and,
// where one is concerned, the file, when the folder
//   - is empty text or not absolute (a relative one would resolve against
//     whatever folder is current),
//   - is a row's folder or lies inside one, or a row's folder lies inside it
//     (compared by device and inode, not by spelling),
//   - holds a row's file (a hard link),
//   - is not a folder, or holds anything although it was not made by this
//     program (it carries no marker).
void CheckWorkFolder(const std::string& work_folder, const std::vector<std::string>& row_paths);

}  // namespace bgconv
