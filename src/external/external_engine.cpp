#include "external/external_engine.h"

#include <unistd.h>

#include "external/command_line.h"
#include "external/process_runner.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

// The log as the runner's row list.
class LogRows final : public CaptureRows {
 public:
  explicit LogRows(ExternalPassReporter& reporter) : reporter_(reporter) {}
  void Add(std::string_view row) override { reporter_.Log(row); }
  void ReplaceLast(std::string_view row) override { reporter_.ReplaceLastLog(row); }

 private:
  ExternalPassReporter& reporter_;
};

CopyBack CopyBackRow(const ExternalPassInputs& inputs, const ExternalPassRow& row, int exit_code) {
  const std::string work_path = inputs.work_folder + row.work_name;
  if (!PathExists(work_path)) return CopyBack::kMissing;
  // Read and written as bytes, so a failure at either end leaves both files
  // as they were; only a complete copy lets the work copy go.
  const std::string bytes = ReadWholeFile(work_path);
  if (inputs.accept && !inputs.accept(row, bytes, exit_code)) return CopyBack::kRejected;
  WriteFileAtomically(row.path, bytes);
  ::unlink(work_path.c_str());
  return CopyBack::kCopied;
}

}  // namespace

std::string ConCmdProgramPath(std::string_view program_folder) {
  return std::string(program_folder) + "ConCmd" + kPathSeparator + "ConCmd";
}

std::string ConCmdSwitches(int direction, std::string_view engine_parameter) {
  std::string switches = direction == kBigToGb ? "/o:gbk" : direction == kGbToBig ? "/o:big5" : "";
  if (!engine_parameter.empty()) {
    switches += ' ';
    switches += engine_parameter;
  }
  return switches;
}

std::string ConCmdCommandLine(std::string_view program, int direction, std::string_view engine_parameter,
                              std::string_view mask) {
  return QuoteProgram(program) + ' ' + ConCmdSwitches(direction, engine_parameter) + ' ' + QuoteArgument(mask);
}

ExternalPassResult RunExternalEngine(const ExternalPassInputs& inputs, ExternalPassReporter& reporter) {
  ExternalPassResult result;
  result.command_line =
      ConCmdCommandLine(inputs.program, inputs.direction, inputs.engine_parameter, inputs.work_folder + "*.*");

  LogRows log(reporter);
  try {
    result.exit_code = RunAndCapture(result.command_line, log, [&](CaptureRows&) { reporter.Repaint(); });
  } catch (const EOSError& error) {
    // The system's text alone does not say which program is missing.
    throw EOSError(inputs.program + ": " + error.what(), error.ErrorCode());
  }
  reporter.Log(result.command_line + " returned " + std::to_string(result.exit_code));
  reporter.SelectLastLog();

  result.rows.reserve(inputs.rows.size());
  for (const ExternalPassRow& row : inputs.rows) {
    try {
      result.rows.push_back(CopyBackRow(inputs, row, result.exit_code));
    } catch (const std::exception& error) {
      result.rows.push_back(CopyBack::kFailed);
      reporter.ShowMessage(FailureTextFor(row.path, error));
    }
  }
  return result;
}

}  // namespace bgconv
