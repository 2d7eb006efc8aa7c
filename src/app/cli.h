#pragma once
// The command line of bgconv: one entry per command, each parsing its own
// options.  Exit codes: 0 success, 1 a failure naming the file, 2 a usage error.

#include <chrono>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/choices.h"
#include "platform/errors.h"

namespace bgconv::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// A command line that cannot be understood; its message is one line.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Walks the arguments of one command: options first or mixed with operands,
// "--" ends the options.
class Arguments {
 public:
  Arguments(std::string command, std::vector<std::string> args);

  // The next option ("--name" or "--name=value"), or nothing when the
  // arguments are used up; operands are collected on the way.
  std::optional<std::string> NextOption();
  // The value of the option just returned: its "=value" part or the next argument.
  std::string Value();
  std::vector<std::string>& Operands() { return operands_; }
  [[noreturn]] void Unknown(const std::string& option) const;
  const std::string& Command() const { return command_; }

 private:
  std::string command_;
  std::vector<std::string> args_;
  std::size_t next_ = 0;
  std::optional<std::string> pending_value_;
  std::vector<std::string> operands_;
  bool options_ended_ = false;
};

// Runs `work` on behalf of the file `path`: a failure that is not an
// Exception (memory running out, above all) comes back as one naming the
// file, "<path>: not enough memory".
template <typename Work>
decltype(auto) ForFile(const std::string& path, Work&& work) {
  try {
    return work();
  } catch (const Exception&) {
    throw;
  } catch (const UsageError&) {
    throw;
  } catch (const std::exception& error) {
    throw Exception(FailureTextFor(path, error));
  }
}

int Run(const std::vector<std::string>& args, Io io);

// The value of --to: "gb" (Big5 to GB2312) or "big5" (GB2312 to Big5).
Direction ParseDirection(const std::string& value, std::string_view command);

// The value of --from, as the direction whose source code page it names:
// "big5" (as "BIG->GB") or "gb" (as "GB->BIG ").
Direction ParseSourceCodePage(const std::string& value, std::string_view command);

// The value of --script: "keep", "simplified" or "traditional".
Script ParseScript(const std::string& value, std::string_view command);

// The value of --acp: 950 or 936.
int ParseCodePage(const std::string& value, std::string_view command);

// The value of a --timeout option: a whole number of seconds, at least 1.
std::chrono::seconds ParseTimeout(const std::string& value, std::string_view command);

int RunConvert(Arguments& args, Io io);
int RunList(Arguments& args, Io io);
int RunDetect(Arguments& args, Io io);
int RunText(Arguments& args, Io io);
int RunSettings(Arguments& args, Io io);
int RunForm(Arguments& args, Io io);
int RunExternalPass(Arguments& args, Io io);

}  // namespace bgconv::cli
