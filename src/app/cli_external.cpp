#include <chrono>
#include <iostream>
#include <optional>

#include "app/cli.h"
#include "codec/converter.h"
#include "external/external_engine.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "settings/settings.h"
#include "workspace/workspace.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kExternalPassUsage =
    "Usage: bgconv external-pass [--to gb|big5] [--parameter TEXT] [--work-folder DIR] [FILE...]\n"
    "Runs the external converter (ConCmd/ConCmd in bgconv's folder) over every\n"
    "file in the work folder, then copies each FILE back: the file of the same\n"
    "name in the work folder replaces FILE and is deleted.  A FILE whose name\n"
    "the work folder lacks stays as it is.  The converter's output and the line\n"
    "\"COMMAND returned CODE\" go to standard output.\n"
    "\n"
    "  --to gb|big5       the direction (default: the settings' DefLan)\n"
    "  --parameter TEXT   added after the direction switch, e.g. /f:d for\n"
    "                     \"Not Vocabulary Convert\" (default: the settings' cpEng\n"
    "                     Parameter)\n"
    "  --work-folder DIR  the folder to convert (default: the settings'\n"
    "                     WorkConvertDir); it must be empty or made by bgconv,\n"
    "                     and apart from the FILEs' folders\n"
    "  --timeout SECONDS  end the converter after SECONDS; no FILE changes then\n"
    "\n"
    "A copy the converter left empty, or a form whose text lost its head line,\n"
    "does not go back.  A work folder made by bgconv is emptied afterwards.\n"
    "Exits 1 when the converter cannot start or returns a code other than 0,\n"
    "or when a FILE was not copied back.\n";

// Prints each log row once it is final: a row the converter redraws with CR
// is printed in its last state.
class TerminalReporter final : public ExternalPassReporter {
 public:
  explicit TerminalReporter(Io io) : io_(io) {}
  ~TerminalReporter() override { Flush(); }

  void Log(std::string_view row) override {
    Flush();
    pending_ = row;
    has_pending_ = true;
  }
  void ReplaceLastLog(std::string_view row) override { pending_ = row; }
  void SelectLastLog() override { Flush(); }
  void ShowMessage(std::string_view text) override {
    Flush();
    io_.err << "bgconv: " << text << '\n';
  }
  void Flush() {
    if (!has_pending_) return;
    io_.out << pending_ << '\n';
    io_.out.flush();
    has_pending_ = false;
  }

 private:
  Io io_;
  std::string pending_;
  bool has_pending_ = false;
};

}  // namespace

int RunExternalPass(Arguments& args, Io io) {
  std::optional<Direction> direction;
  std::optional<std::string> parameter;
  std::optional<std::string> work_folder;
  std::optional<std::chrono::seconds> timeout;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kExternalPassUsage;
      return kExitOk;
    }
    if (*option == "--to") {
      direction = ParseDirection(args.Value(), "external-pass");
    } else if (*option == "--parameter") {
      parameter = args.Value();
    } else if (*option == "--work-folder") {
      work_folder = args.Value();
      if (work_folder->empty()) throw UsageError("external-pass: --work-folder needs a folder");
    } else if (*option == "--timeout") {
      timeout = ParseTimeout(args.Value(), "external-pass");
    } else {
      args.Unknown(*option);
    }
  }

  ExternalPassInputs inputs;
  if (!direction || !parameter || !work_folder) {
    const std::string path = SettingsReadPath(CurrentPlaces());
    const Settings settings = ForFile(path, [&] { return LoadSettings(path, ProgramSettingsContext()); });
    if (!direction) direction = settings.code_direction;
    if (!parameter) parameter = settings.engine_parameter;
    if (!work_folder) work_folder = settings.work_folder;
  }
  for (const std::string& file : args.Operands())
    if (FileNameOf(file).empty()) throw UsageError("external-pass: '" + file + "' names no file");
  inputs = MakePassInputs({}, *direction, *parameter, EnsureTrailingBackslash(AbsolutePath(*work_folder)),
                          RowsByFileName(args.Operands()));
  inputs.timeout = timeout;

  ExternalPassResult result;
  {
    TerminalReporter reporter(io);
    result = RunExternalEngine(inputs, reporter);
  }
  int status = kExitOk;
  for (std::size_t i = 0; i < inputs.rows.size(); ++i) {
    if (result.rows[i] == CopyBack::kMissing) {
      io.err << "bgconv: " << inputs.rows[i].path << " left as it was: the work folder has no "
             << inputs.rows[i].work_name << "\n";
    } else if (result.rows[i] != CopyBack::kCopied && result.rows[i] != CopyBack::kFailed) {
      io.err << "bgconv: " << inputs.rows[i].path
             << " left as it was: " << WhyNotCopiedBack(result.rows[i], result.exit_code) << "\n";
    }
    if (result.rows[i] != CopyBack::kCopied) status = kExitFailure;
  }
  if (result.exit_code != 0) {
    io.err << "bgconv: the converter returned " << result.exit_code << "\n";
    status = kExitFailure;
  }
  io.out.flush();
  if (!io.out) throw Exception("cannot write to standard output");
  return status;
}

}  // namespace bgconv::cli
