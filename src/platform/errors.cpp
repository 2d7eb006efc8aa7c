#include "platform/errors.h"

#include <cstring>
#include <new>
#include <utility>

namespace bgconv {

std::string FailureText(const std::exception& error) {
  const bool out_of_memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ||
                             dynamic_cast<const std::length_error*>(&error) != nullptr;
  return out_of_memory ? "not enough memory" : error.what();
}

std::string FailureTextFor(const std::string& path, const std::exception& error) {
  if (dynamic_cast<const Exception*>(&error) != nullptr) return error.what();
  return path + ": " + FailureText(error);
}

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
EFormFileError::EFormFileError(const std::string& path, const std::string& reason) : Exception(path + ": " + reason) {}

}  // namespace bgconv
