#include <cstdio>
#include <iostream>

#include "app/cli.h"
#include "codec/text_class.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kDetectUsage =
    "Usage: bgconv detect FILE...\n"
    "Tells what each FILE holds, one line per file:\n"
    "  FILE: CLASS (confidence C, N hanzi)\n"
    "CLASS is ASCII, UTF-8, Big5, GB2312, GBK, UTF-16, binary or mixed (lines in\n"
    "Big5 and in GB2312); C runs from below 0.5 (a guess) to 1 (sure); N is the\n"
    "number of hanzi the decision rests on.  Files are judged by their bytes as stored.\n"
    "A file that cannot be read is named on standard error and the exit code is 1.\n";

std::string Confidence(double confidence) {
  char text[16];
  std::snprintf(text, sizeof text, "%.3f", confidence);
  return text;
}

}  // namespace

int RunDetect(Arguments& args, Io io) {
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kDetectUsage;
      return kExitOk;
    }
    args.Unknown(*option);
  }
  if (args.Operands().empty()) throw UsageError("detect: takes at least one FILE");

  int exit_code = kExitOk;
  for (const std::string& path : args.Operands()) {
    try {
      const Classification result = ClassifyText(ReadWholeFile(path));
      io.out << path << ": " << TextClassName(result.text_class) << " (confidence " << Confidence(result.confidence)
             << ", " << result.hanzi << " hanzi)\n";
    } catch (const Exception& error) {
      io.out.flush();
      io.err << "bgconv: " << error.what() << "\n";
      exit_code = kExitFailure;
    }
  }
  io.out.flush();
  if (!io.out) throw Exception("cannot write to standard output");
  return exit_code;
}

}  // namespace bgconv::cli
