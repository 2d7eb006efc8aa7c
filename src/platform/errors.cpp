#include "platform/errors.h"

#include <utility>

namespace bgconv {

EFOpenError::EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}

EFCreateError::EFCreateError(const std::string& path) : Exception("Cannot create file " + path) {}

EFCreateError::EFCreateError(const std::string& path, std::string reason)
    : Exception("Cannot create file " + path), reason_(std::move(reason)) {}

EResNotFound::EResNotFound(const std::string& name) : Exception("Resource " + name + " not found") {}

EConvertError::EConvertError(const std::string& text, const std::string& what)
    : Exception("'" + text + "' is not a valid " + what) {}

}  // namespace bgconv
