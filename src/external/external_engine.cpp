#include "external/external_engine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "external/command_line.h"
#include "external/process_runner.h"
#include "external/work_folder.h"
#include "platform/ansi_codepage.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_status.h"
#include "platform/paths.h"
#include "platform/purge.h"

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

bool IsFormName(std::string_view name) {
  return name.size() >= 4 && SameTextIgnoringCase(name.substr(name.size() - 4), ".dfm");
}

bool StartsWithHeadLine(std::string_view text) {
  for (const std::string_view head : {"object ", "inherited ", "inline "})
    if (text.size() >= head.size() && SameTextIgnoringCase(text.substr(0, head.size()), head)) return true;
  return false;
}

// What a work copy held before the converter ran, to tell a copy it
// destroyed from one it converted.
struct HandedOver {
  bool had_bytes = false;
  bool had_head_line = false;
};

HandedOver Before(const std::string& work_path, std::string_view work_name) {
  struct stat info {};
  if (::lstat(work_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  HandedOver before{info.st_size > 0, false};
  if (IsFormName(work_name)) {
    try {
      before.had_head_line = StartsWithHeadLine(ReadRegularFileNoFollow(work_path));
    } catch (const Exception&) {
    }
  }
  return before;
}

class CopyBackPass {
 public:
  CopyBackPass(const ExternalPassInputs& inputs, ExternalPassReporter& reporter)
      : inputs_(inputs), reporter_(reporter) {
    for (const auto& row : inputs.rows) {
      if (const auto file = FileIdOf(row.path)) row_files_.insert(*file);
      before_.push_back(Before(inputs.work_folder + row.work_name, row.work_name));
    }
  }

  CopyBack Row(std::size_t i, int exit_code) {
    const ExternalPassRow& row = inputs_.rows[i];
    const std::string work_path = inputs_.work_folder + row.work_name;
    if (!PathExists(work_path)) return CopyBack::kMissing;
    // Read and written as bytes, so a failure at either end leaves both files
    // as they were; only a complete copy lets the work copy go.
    const std::string bytes = ReadRegularFileNoFollow(work_path);
    if (bytes.empty() && before_[i].had_bytes) return CopyBack::kEmptied;
    if (before_[i].had_head_line && !StartsWithHeadLine(bytes)) return CopyBack::kFormBroken;
    if (inputs_.accept && !inputs_.accept(i, bytes, exit_code)) return CopyBack::kRejected;
    reporter_.Log("Copy back " + work_path + " -> " + row.path);
    WriteFileAtomically(row.path, bytes);
    RemoveWorkCopy(work_path);
    return CopyBack::kCopied;
  }

 private:
  // A work copy that is one of the rows' own files (a link the converter
  // made) stays: deleting it would delete the user's file.
  void RemoveWorkCopy(const std::string& work_path) const {
    const auto identity = FileIdOf(work_path, Links::kDoNotFollow);
    if (identity && row_files_.count(*identity) != 0) return;
    ::unlink(work_path.c_str());
  }

  const ExternalPassInputs& inputs_;
  ExternalPassReporter& reporter_;
  std::set<FileId> row_files_;
  std::vector<HandedOver> before_;
};

void LockFolders(const ExternalPassInputs& inputs, FolderLocks& locks) {
  if (!locks.TryLock(inputs.work_folder))
    throw Exception("Another conversion with the work folder " + inputs.work_folder + " is running");
  for (const auto& row : inputs.rows) {
    if (!locks.TryLock(FolderOf(row.path))) throw Exception("Another conversion of " + row.path + " is running");
  }
}

}  // namespace

ExternalPassInputs MakePassInputs(const std::string& program_folder, Direction direction, std::string engine_parameter,
                                  std::string work_folder, std::vector<ExternalPassRow> rows) {
  ExternalPassInputs inputs;
  inputs.program = ConCmdProgramPath(program_folder.empty() ? ExecutableFolder() : program_folder);
  inputs.direction = direction;
  inputs.engine_parameter = std::move(engine_parameter);
  inputs.work_folder = std::move(work_folder);
  inputs.rows = std::move(rows);
  return inputs;
}

std::vector<ExternalPassRow> RowsByFileName(const std::vector<std::string>& paths) {
  std::vector<ExternalPassRow> rows;
  for (const auto& path : paths) rows.push_back({FileNameOf(path), path});
  return rows;
}

std::string ConCmdProgramPath(std::string_view program_folder) {
  return ConverterFolderOf(std::string(program_folder)) + "ConCmd";
}

std::string ConCmdSwitches(Direction direction, std::string_view engine_parameter) {
  std::string switches = direction == Direction::kBigToGb ? "/o:gbk" : "/o:big5";
  if (!engine_parameter.empty()) {
    switches += ' ';
    switches += engine_parameter;
  }
  return switches;
}

std::string ConCmdCommandLine(std::string_view program, Direction direction, std::string_view engine_parameter,
                              std::string_view mask) {
  return QuoteProgram(program) + ' ' + ConCmdSwitches(direction, engine_parameter) + ' ' + QuoteArgument(mask);
}

std::string WhyNotCopiedBack(CopyBack copy_back, int exit_code) {
  switch (copy_back) {
    case CopyBack::kMissing:
      return "the converter left no copy in the work folder";
    case CopyBack::kFailed:
      return "its converted copy could not be written back";
    case CopyBack::kRejected:
      return exit_code != 0 ? "the converter returned " + std::to_string(exit_code)
                            : "the converter left it unconverted";
    case CopyBack::kEmptied:
      return "the converter left its copy empty";
    case CopyBack::kFormBroken:
      return "the converter broke its form text (no object line at its head)";
    case CopyBack::kCopied:
      break;
  }
  return {};
}

ExternalPassResult RunExternalEngine(const ExternalPassInputs& inputs, ExternalPassReporter& reporter) {
  std::vector<std::string> row_paths;
  for (const auto& row : inputs.rows) row_paths.push_back(row.path);
  CheckWorkFolder(inputs.work_folder, row_paths);
  FolderLocks own_locks;
  LockFolders(inputs, inputs.locks != nullptr ? *inputs.locks : own_locks);

  ExternalPassResult result;
  result.command_line =
      ConCmdCommandLine(inputs.program, inputs.direction, inputs.engine_parameter, inputs.work_folder + "*.*");
  CopyBackPass copy_back(inputs, reporter);

  LogRows log(reporter);
  try {
    result.exit_code = RunAndCapture(
        result.command_line, log, [&](CaptureRows&) { reporter.Repaint(); }, inputs.timeout);
  } catch (const EOSError& error) {
    // The system's text alone does not say which program is missing.
    throw EOSError(inputs.program + ": " + error.what(), error.ErrorCode());
  }
  reporter.Log(result.command_line + " returned " + std::to_string(result.exit_code));
  reporter.SelectLastLog();

  result.rows.reserve(inputs.rows.size());
  for (std::size_t i = 0; i < inputs.rows.size(); ++i) {
    try {
      result.rows.push_back(copy_back.Row(i, result.exit_code));
    } catch (const std::exception& error) {
      result.rows.push_back(CopyBack::kFailed);
      reporter.ShowMessage(FailureTextFor(inputs.rows[i].path, error));
    }
  }
  if (IsMarkedWorkFolder(inputs.work_folder)) {
    try {
      EmptyWorkFolder(inputs.work_folder);
    } catch (const Exception& error) {
      reporter.ShowMessage(error.what());
    }
  }
  return result;
}

}  // namespace bgconv
