#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"

namespace bgconv {
namespace {

// Each program names itself and the project's version, on one line.
TEST(Version, EveryProgramPrintsTheProjectVersion) {
  const std::pair<std::string, std::string> programs[] = {
      {"bgconv", "bgconv " BGCONV_VERSION "\n"},
      {"ConCmd/ConCmd", "ConCmd (bgconv) " BGCONV_VERSION "\n"},
      {"bgconv-gui", "bgconv-gui " BGCONV_VERSION "\n"},
  };
  for (const auto& [program, expected] : programs) {
    if (!std::filesystem::exists(test_support::ProgramPath(program))) continue;  // a build without the window
    const auto result = test_support::RunProgram(program, {"--version"});
    EXPECT_EQ(result.exit_code, 0) << program;
    EXPECT_EQ(result.out, expected);
  }
}

}  // namespace
}  // namespace bgconv
