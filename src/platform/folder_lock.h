#pragma once
// Keeps two conversions out of the same files.  A run replaces each file by
// a new one (a new inode), so a lock on the file itself would not outlive
// its first write; the folder a file lies in stays the same object.  A run
// therefore locks every folder it writes in, before it writes anything, and
// holds the locks to its end.  The locks are advisory (flock) and go away
// with the process, also when it is killed.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_descriptor.h"

namespace bgconv {

class FolderLocks {
 public:
  // Takes an exclusive lock on the folder `folder` unless this object holds
  // it already.  False when another holder has it.  A folder that cannot be
  // opened (missing, not readable) is not locked and counts as free: what
  // the run then does there fails on its own.
  bool TryLock(const std::string& folder);

 private:
  std::set<std::pair<unsigned long, unsigned long>> held_ids_;  // device, inode
  std::vector<FileDescriptor> held_;
};

}  // namespace bgconv
