#include "platform/errors.h"

namespace bgconv {

EFOpenError::EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}

EFCreateError::EFCreateError(const std::string& path) : Exception("Cannot create file " + path) {}

EResNotFound::EResNotFound(const std::string& name) : Exception("Resource " + name + " not found") {}

EConvertError::EConvertError(const std::string& text, const std::string& what)
    : Exception("'" + text + "' is not a valid " + what) {}
EFormFileError::EFormFileError(const std::string& path, const std::string& reason)
    : Exception(path + ": " + reason) {}

}  // namespace bgconv
