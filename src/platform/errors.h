#pragma once
// Failures are exceptions of a class that carries the message the user sees.
// The class tells callers what went wrong; the message says where.

#include <stdexcept>
#include <string>

namespace bgconv {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file could not be opened for reading: "Cannot open file %s".
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const std::string& path);
};

// A file could not be created or replaced: "Cannot create file %s".
class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& path);
};

// A data item carried by the program is missing: "Resource %s not found".
class EResNotFound : public Exception {
 public:
  explicit EResNotFound(const std::string& name);
};

class EReadError : public Exception {
 public:
  using Exception::Exception;
};

class EInvalidImage : public EReadError {
 public:
  using EReadError::EReadError;
};

class EParserError : public Exception {
 public:
  using Exception::Exception;
};

// A form file could not be read as form text: the path and the message of
// the failure underneath ("Invalid stream format", "Cannot open file ...").
class EFormFileError : public Exception {
 public:
  EFormFileError(const std::string& path, const std::string& reason);
};

class EOSError : public Exception {
 public:
  using Exception::Exception;
};

class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// A text that should name a value does not: "'%s' is not a valid %s".
class EConvertError : public Exception {
 public:
  EConvertError(const std::string& text, const std::string& what);
};

}  // namespace bgconv
