#pragma once
// The temporary file a write fills before it takes the target's place.  It
// lies beside the target (a rename never crosses file systems) under a short
// name of fixed length, so that every name the file system accepts can be
// written, also one of 255 bytes:  ".bgconv-" + a hash of the target's name
// + "-" + six random characters.  A run that was killed can leave one behind;
// the hash lets the next run find those of its own files.

#include <string>
#include <vector>

#include "platform/file_descriptor.h"

namespace bgconv {

struct TemporaryFile {
  FileDescriptor file;  // open for writing, mode 0600
  std::string path;
};

// Creates a new temporary file beside `target`.  Fails with EFCreateError
// naming `target` and the system's reason.
TemporaryFile CreateTemporaryBeside(const std::string& target);

// Removes the temporary files that earlier writes of `targets` left beside
// them (also those of the longer names older versions used).  Each folder is
// read once.  Only regular files whose name marks them as a temporary of one
// of `targets` are touched; failures are ignored.
void RemoveStaleTemporaries(const std::vector<std::string>& targets);

}  // namespace bgconv
