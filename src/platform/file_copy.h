#pragma once
// Copies that never replace what is already there: the suffixed original
// beside a converted file and the copies in the backup folder.  The bytes go
// to a temporary file beside the target, which is then linked in under the
// target's name only if that name is free, so a copy is either complete or
// absent, and an existing file of that name is never touched.

#include <string>

#include "platform/atomic_file.h"

namespace bgconv {

enum class CopyResult {
  kCopied,
  kTargetExists,  // nothing written: a file of the target's name is there
};

// Copies the file at `source` to `target` with the source's permission bits.
// Fails with EFOpenError when the source cannot be read and with
// EFCreateError (carrying the system's reason) when the copy cannot be
// written; the target is then absent as before.
CopyResult CopyFileNoReplace(const std::string& source, const std::string& target, WriteOptions options = {});

}  // namespace bgconv
