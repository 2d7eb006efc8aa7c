#include <iostream>
#include <string>
#include <vector>

#include "concmd.h"
#include "platform/errors.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "ConCmd (bgconv) " BGCONV_VERSION "\n";
    return bgconv::concmd::kExitConverted;
  }
  std::string ini_path;
  try {
    ini_path = bgconv::ExecutableFolder() + "ConCmd.ini";
  } catch (const bgconv::Exception& error) {
    std::cout << "Error: " << error.what() << "\r\n";
    return bgconv::concmd::kExitUsage;
  }
  try {
    return bgconv::concmd::Run(args, ini_path, std::cout);
  } catch (const std::exception& error) {
    std::cout << "Error: " << bgconv::FailureText(error) << "\r\n";
    return bgconv::concmd::kExitFileFailed;
  }
}
