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

// What the user reads for a failure of any kind: an Exception's message as
// it is, "not enough memory" for an allocation that failed (also a size the
// standard library cannot hold), the library's own text otherwise.
std::string FailureText(const std::exception& error);

// FailureText naming the file: "<path>: not enough memory".  An Exception's
// message, which says where already, stays as it is.
std::string FailureTextFor(const std::string& path, const std::exception& error);

// A file could not be opened for reading: "Cannot open file %s", or with
// the reason known: "Cannot open file %s: %s".
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const std::string& path);
  EFOpenError(const std::string& path, const std::string& reason);
};

// A file could not be created or replaced: "Cannot create file %s".  The
// system's reason ("No space left on device"), when known, travels beside the
// message for callers that show more than the message.
class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& path);
  EFCreateError(const std::string& path, std::string reason);
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
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

// A system call failed.  ErrorCode() is the system's error number (errno),
// 0 when the failure has none.
class EOSError : public Exception {
 public:
  explicit EOSError(const std::string& message, int error_code = 0) : Exception(message), error_code_(error_code) {}
  int ErrorCode() const { return error_code_; }

 private:
  int error_code_;
};

// The failure of a system call with the error number `error_code`:
// "System Error.  Code: %d." followed by CR LF and the system's text for the
// code, or "A call to an OS function failed" for the code 0.
EOSError SystemError(int error_code);

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
