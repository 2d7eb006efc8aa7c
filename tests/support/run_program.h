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

}  // namespace bgconv::testing
