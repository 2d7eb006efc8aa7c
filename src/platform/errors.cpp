#include "platform/errors.h"

#include <cstring>
#include <utility>

namespace bgconv {

EOSError SystemError(int error_code) {
  if (error_code == 0) return EOSError("A call to an OS function failed");
  return EOSError("System Error.  Code: " + std::to_string(error_code) + ".\r\n" + std::strerror(error_code),
                  error_code);
}

EFOpenError::EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : Exception("Cannot open file " + path + ": " + reason) {}

EFCreateError::EFCreateError(const std::string& path) : Exception("Cannot create file " + path) {}

EFCreateError::EFCreateError(const std::string& path, std::string reason)
    : Exception("Cannot create file " + path), reason_(std::move(reason)) {}

EResNotFound::EResNotFound(const std::string& name) : Exception("Resource " + name + " not found") {}

EConvertError::EConvertError(const std::string& text, const std::string& what)
    : Exception("'" + text + "' is not a valid " + what) {}
EFormFileError::EFormFileError(const std::string& path, const std::string& reason)
    : Exception(path + ": " + reason) {}

}  // namespace bgconv
