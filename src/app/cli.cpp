#include "app/cli.h"

#include <iostream>
#include <string_view>
#include <utility>

#include "codec/converter.h"
#include "platform/ansi_codepage.h"
#include "platform/errors.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kUsage =
    "Usage: bgconv COMMAND [OPTIONS] [ARGS]\n"
    "Converts the source files of Delphi projects between Big5 (cp950) and GB2312 (cp936).\n"
    "\n"
    "Commands:\n"
    "  convert        convert a project's files (or the given files) in place\n"
    "  list           list the files of a project as convert takes them\n"
    "  detect         tell each file's encoding: ASCII, UTF-8, Big5, GB2312, GBK, ...\n"
    "  text           convert a text file (or standard input) to standard output\n"
    "  form           write the form text of form files (.dfm) to standard output\n"
    "  settings       show the settings file in use and its values\n"
    "  external-pass  run the external converter over the work folder, copy files back\n"
    "\n"
    "Run 'bgconv COMMAND --help' for the options of a command, 'bgconv --version'\n"
    "for the version.\n";

struct Command {
  std::string_view name;
  int (*run)(Arguments&, Io);
};

constexpr Command kCommands[] = {
    {"convert", RunConvert},
    {"list", RunList},
    {"detect", RunDetect},
    {"text", RunText},
    {"form", RunForm},
    {"settings", RunSettings},
    {"external-pass", RunExternalPass},
};

}  // namespace

Arguments::Arguments(std::string command, std::vector<std::string> args)
    : command_(std::move(command)), args_(std::move(args)) {}

std::optional<std::string> Arguments::NextOption() {
  pending_value_.reset();
  while (next_ < args_.size()) {
    std::string arg = args_[next_++];
    if (options_ended_ || arg == "-" || arg.rfind('-', 0) != 0) {
      operands_.push_back(std::move(arg));
      continue;
    }
    if (arg == "--") {
      options_ended_ = true;
      continue;
    }
    if (const auto equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      pending_value_ = arg.substr(equals + 1);
      arg.resize(equals);
    }
    return arg;
  }
  return std::nullopt;
}

std::string Arguments::Value() {
  if (pending_value_) return *std::exchange(pending_value_, std::nullopt);
  if (next_ >= args_.size()) throw UsageError(command_ + ": an option needs a value");
  return args_[next_++];
}

void Arguments::Unknown(const std::string& option) const {
  throw UsageError(command_ + ": unknown option '" + option + "'");
}

Direction ParseDirection(const std::string& value, std::string_view command) {
  if (value == "gb") return Direction::kBigToGb;
  if (value == "big5") return Direction::kGbToBig;
  throw UsageError(std::string(command) + ": --to takes 'gb' or 'big5', not '" + value + "'");
}

Direction ParseSourceCodePage(const std::string& value, std::string_view command) {
  if (value == "big5") return Direction::kBigToGb;
  if (value == "gb") return Direction::kGbToBig;
  throw UsageError(std::string(command) + ": --from takes 'big5' or 'gb', not '" + value + "'");
}

Script ParseScript(const std::string& value, std::string_view command) {
  if (value == "keep") return Script::kKeep;
  if (value == "simplified") return Script::kSimplified;
  if (value == "traditional") return Script::kTraditional;
  throw UsageError(std::string(command) + ": --script takes 'keep', 'simplified' or 'traditional', not '" + value +
                   "'");
}

int ParseCodePage(const std::string& value, std::string_view command) {
  if (value == "950") return kCodePageBig5;
  if (value == "936") return kCodePageGb2312;
  throw UsageError(std::string(command) + ": --acp takes 950 or 936, not '" + value + "'");
}

std::chrono::seconds ParseTimeout(const std::string& value, std::string_view command) {
  std::size_t used = 0;
  long long seconds = 0;
  try {
    seconds = std::stoll(value, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != value.size() || seconds < 1)
    throw UsageError(std::string(command) + ": --timeout takes a number of seconds, not '" + value + "'");
  return std::chrono::seconds(seconds);
}

int Run(const std::vector<std::string>& args, Io io) {
  if (args.empty()) {
    io.err << "bgconv: no command given (see 'bgconv --help')\n";
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    io.out << kUsage;
    return kExitOk;
  }
  if (args[0] == "--version" || args[0] == "-V") {
    io.out << "bgconv " BGCONV_VERSION "\n";
    return kExitOk;
  }
  for (const auto& command : kCommands) {
    if (args[0] != command.name) continue;
    Arguments arguments(args[0], std::vector<std::string>(args.begin() + 1, args.end()));
    try {
      return command.run(arguments, io);
    } catch (const UsageError& error) {
      io.err << "bgconv " << error.what() << " (see 'bgconv " << command.name << " --help')\n";
      return kExitUsage;
    } catch (const Exception& error) {
      io.err << "bgconv: " << error.what() << "\n";
      return kExitFailure;
    } catch (const std::exception& error) {
      // A failure outside any one file's work (the commands name the file
      // where there is one).
      io.err << "bgconv: " << command.name << ": " << FailureText(error) << "\n";
      return kExitFailure;
    }
  }
  io.err << "bgconv: unknown command '" << args[0] << "' (see 'bgconv --help')\n";
  return kExitUsage;
}

}  // namespace bgconv::cli
