#pragma once
// Runs one of the built programs as a user would: arguments, bytes on its
// standard input, and what it printed and returned.

#include <string>
#include <vector>

namespace bgconv::test_support {

struct ProgramResult {
  int exit_code = -1;  // 128 + the signal when a signal ended it
  std::string out;
  std::string err;
  bool timed_out = false;  // killed after the time it was given
  long peak_rss_kb = 0;    // the most memory it held at once
};

// `program` is a name in the build's program folder (e.g. "bgconv").
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

// The program at `path`, e.g. a copy placed where a test needs it.  A
// program still running after `timeout_seconds` (when not 0) is killed, so
// that a test of something that could block fails instead of hanging.
ProgramResult RunProgramAt(const std::string& path, const std::vector<std::string>& args, const std::string& input = {},
                           int timeout_seconds = 0);

// The path of `program` in the build's program folder.
std::string ProgramPath(const std::string& program);

}  // namespace bgconv::test_support
