#pragma once
// What a replaced file keeps besides its bytes: its extended attributes, and
// with them its access control list.  A file written beside the old one and
// renamed over it starts with none of them.

#include <string>

namespace bgconv {

// Makes the extended attributes of the open file `target_fd` those of the
// file at `source`: each of the source's is set, each the target has (from
// its folder's default ACL) and the source has not is removed.  Attributes
// the user may not set (the security and trusted namespaces) or the file
// system does not support are left out; the ACL is not.  Returns 0, or the
// error number of the attribute that could not be kept.
int CopyExtendedAttributes(const std::string& source, int target_fd);

}  // namespace bgconv
