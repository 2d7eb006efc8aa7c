#include "platform/file_attributes.h"

#include <sys/types.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

namespace bgconv {
namespace {

constexpr std::string_view kAccessAcl = "system.posix_acl_access";

// The attribute names, or nothing when the file system keeps none.  The
// list is read again when it grew between the two calls.
template <typename List>
std::vector<std::string> Names(List list) {
  for (;;) {
    const ssize_t size = list(nullptr, 0);
    if (size <= 0) return {};
    std::string buffer(static_cast<std::size_t>(size), '\0');
    const ssize_t got = list(buffer.data(), buffer.size());
    if (got < 0 && errno == ERANGE) continue;
    if (got < 0) return {};
    std::vector<std::string> names;
    for (std::size_t pos = 0; pos < static_cast<std::size_t>(got);) {
      const std::size_t end = buffer.find('\0', pos);
      names.push_back(buffer.substr(pos, end - pos));
      pos = end + 1;
    }
    return names;
  }
}

bool MayBeLeftOut(std::string_view name, int error) {
  if (name == kAccessAcl) return false;
  return error == EPERM || error == EACCES || error == ENOTSUP;
}

// The value of the attribute `name` of the file at `path`; 0 or the error.
int ReadAttribute(const std::string& path, const std::string& name, std::string& value) {
  for (;;) {
    const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return errno;
    value.assign(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return 0;
    }
    if (errno != ERANGE) return errno;
  }
}

}  // namespace

int CopyExtendedAttributes(const std::string& source, int target_fd) {
  const auto source_names =
      Names([&](char* list, std::size_t size) { return ::listxattr(source.c_str(), list, size); });
  const auto target_names = Names([&](char* list, std::size_t size) { return ::flistxattr(target_fd, list, size); });
  for (const auto& name : target_names) {
    if (std::find(source_names.begin(), source_names.end(), name) != source_names.end()) continue;
    if (::fremovexattr(target_fd, name.c_str()) != 0 && !MayBeLeftOut(name, errno)) return errno;
  }
  for (const auto& name : source_names) {
    std::string value;
    if (const int error = ReadAttribute(source, name, value); error != 0) {
      if (error == ENODATA || MayBeLeftOut(name, error)) continue;
      return error;
    }
    if (::fsetxattr(target_fd, name.c_str(), value.data(), value.size(), 0) != 0 && !MayBeLeftOut(name, errno))
      return errno;
  }
  return 0;
}

}  // namespace bgconv
