#pragma once
// Runs one of the built programs as a user would: arguments, bytes on its
// standard input, and what it printed and returned.

#include <string>
#include <vector>

namespace bgconv::testing {

struct ProgramResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// `program` is a name in the build's program folder (e.g. "bgconv").
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

// The program at `path`, e.g. a copy placed where a test needs it.
ProgramResult RunProgramAt(const std::string& path, const std::vector<std::string>& args,
                           const std::string& input = {});

// The path of `program` in the build's program folder.
std::string ProgramPath(const std::string& program);

}  // namespace bgconv::testing
