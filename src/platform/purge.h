#pragma once
// The work folder's life: created with a marker file at start, deleted with
// everything in it at exit.  The purge deletes a whole tree, so it first makes
// sure the tree is one that this program made: a folder that carries the
// marker, not a file-system root, not the user's home folder, not reached
// through a symbolic link.

#include <string>
#include <string_view>

namespace bgconv {

// The file that marks a folder as a work folder this program created.
inline constexpr std::string_view kWorkFolderMarker = ".bgconv-work-folder";

// Creates `folder` (the last level only) and puts the marker into it.  A
// folder that exists already is left exactly as it is: only folders this
// program creates become purgeable.  Returns whether `folder` exists now.
bool CreateWorkFolder(const std::string& folder);

// Deletes `folder` (with or without a trailing separator) with all its files
// and subfolders, read-only ones included.  Symbolic links inside are deleted,
// never followed; a file system mounted inside stops the purge before any of
// its entries is touched.  Refuses, before deleting anything, a folder without
// the marker, a file-system root, the home folder and a symbolic link.
// Entries go in name order; the marker goes last, so a purge that stopped half
// way can be repeated.  Fails with EInOutError naming the entry and carrying
// the system's text; entries deleted before the failure stay deleted.
void PurgeDirectory(const std::string& folder);

// PurgeDirectory, but the folder and its marker stay: an emptied work folder.
void EmptyWorkFolder(const std::string& folder);

// Whether `folder` carries the marker of a work folder this program created.
bool IsMarkedWorkFolder(const std::string& folder);

}  // namespace bgconv
