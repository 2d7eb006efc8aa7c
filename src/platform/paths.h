#pragma once
// Path texts as the rest of the system uses them: folders end in a separator
// and serve as plain prefixes in front of a file name.  Paths are byte strings
// in the ANSI code page, so every test of the last character respects
// double-byte characters.

#include <string>
#include <string_view>
#include <vector>

namespace bgconv {

inline constexpr char kPathSeparator = '/';

// `path` followed by `separator`, unless its last character already is that
// separator as a character of its own (not the trail byte of a double-byte
// character).  An empty path yields the separator alone.
std::string EnsureTrailingSeparator(std::string_view path, char separator);

// EnsureTrailingSeparator with the platform's separator.
std::string EnsureTrailingBackslash(std::string_view path);

// `path` with the extension of its last component replaced by `extension`
// (which includes its dot), or `extension` appended when it has none.
std::string ChangeFileExt(std::string_view path, std::string_view extension);

// The folder part of `path`, up to and including its last separator; empty
// when it has none.
std::string FolderOf(std::string_view path);

// The last component of `path`.
std::string FileNameOf(std::string_view path);

// The extension of the last component of `path`, from its last dot on
// (".pas"); empty when it has none.
std::string ExtensionOf(std::string_view path);

// `text` with its ASCII letters upper-cased; other bytes stay.
std::string UpperAscii(std::string_view text);

// The extension upper-cased in ASCII (".PAS").
std::string UpperExtensionOf(std::string_view path);

// `path` as an absolute path: a relative one gets the current directory in
// front (nothing else changes).  The project scanner changes the current
// directory, so every path kept for later must not depend on it.
std::string AbsolutePath(const std::string& path);

// The user's home folders: $HOME and the one of the password file (either
// may be missing; they may be the same).
std::vector<std::string> HomeFolders();

// The user's home folder: $HOME, else the one of the password file; empty
// when neither is known.
std::string HomeFolder();

// False only when the system says nothing is there; a path it cannot look
// at (no permission) counts as present, so that reading it reports why.
bool PathExists(const std::string& path);

// Fails with EFOpenError "Cannot open file %s: not a regular file" when
// `path` names a pipe, a socket or a device: reading one waits for a writer
// or never ends.  A folder, and a path that is not there, pass: opening them
// fails on its own.
void RequireRegularFile(const std::string& path);

// The full path of the running program.  Fails with EOSError when the system
// does not tell it.
std::string ExecutablePath();

// The folder of the running program, ending in a separator.
std::string ExecutableFolder();

// Where an installed tree keeps the converter: PREFIX/bin/ holds the
// programs, PREFIX/lib/bgconv/ConCmd/ the converter and its files.
inline constexpr std::string_view kInstalledConverterFolder = "lib/bgconv/ConCmd/";

// Whether the program folder `exe_folder` (ending in a separator) is the
// bin/ folder of an installed tree: the converter lies in
// kInstalledConverterFolder of the folder above it.
bool IsInstalledProgramFolder(const std::string& exe_folder);

// The folder of the converter that belongs to the programs in `exe_folder`:
// that of the installed tree, else ConCmd/ beside them (a build, an unpacked
// folder).  Ends in a separator.
std::string ConverterFolderOf(const std::string& exe_folder);

}  // namespace bgconv
