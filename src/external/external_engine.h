#pragma once
// The external engine's pass over the work folder: one run of the converter
// ConCmd over every file in the folder, its output captured into the log,
// then each row's converted file copied back over the row's path.
//
// The caller has put the files into the work folder before; the pass knows
// them only as rows, each with the name its file has in the work folder and
// the path it goes back to.  So two rows whose files share a name (Unit1.pas
// in two folders) can travel under two different work names.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/choices.h"
#include "platform/folder_lock.h"

namespace bgconv {

// The converter beside the program: `program_folder` (ending in a separator)
// followed by "ConCmd", the separator and "ConCmd".
std::string ConCmdProgramPath(std::string_view program_folder);

// The output switch of a code direction ("/o:gbk" for "BIG->GB", "/o:big5"
// for "GB->BIG "), followed by a blank and `engine_parameter` when that
// is not empty.
std::string ConCmdSwitches(Direction direction, std::string_view engine_parameter);

// Program, blank, switches, blank, mask.  The program and the mask are put in
// double quotes when they hold blanks, so that a folder with a blank in its
// name still reaches the converter as one argument.
std::string ConCmdCommandLine(std::string_view program, Direction direction, std::string_view engine_parameter,
                              std::string_view mask);

struct ExternalPassRow {
  std::string work_name;  // the file's name in the work folder
  std::string path;       // the full path the converted file goes back to
};

struct ExternalPassInputs {
  std::string program;  // the converter, usually ConCmdProgramPath(ExecutableFolder())
  Direction direction = Direction::kBigToGb;
  std::string engine_parameter;  // e.g. "/f:d"; empty for none
  std::string work_folder;       // ends in a separator; the mask is this followed by "*.*"
  std::vector<ExternalPassRow> rows;
  // When set, asked for every work copy before it goes back (the index of
  // its row, its bytes, the converter's exit code): false keeps the file at
  // the row's path as it was.
  std::function<bool(std::size_t row, std::string_view converted, int exit_code)> accept;
  // The converter is ended after this long, and no file goes back.
  std::optional<std::chrono::seconds> timeout;
  // The locks of a caller that holds the folders already (the run); without
  // them the pass takes its own.
  FolderLocks* locks = nullptr;
};

// The pass of the converter beside the program in `program_folder` (the
// running program's own when empty) over `work_folder`, for `rows`.  The
// run, bgconv external-pass and the window's "&Help" all start here.
ExternalPassInputs MakePassInputs(const std::string& program_folder, Direction direction, std::string engine_parameter,
                                  std::string work_folder, std::vector<ExternalPassRow> rows);

// Rows for files named by their paths, each travelling under its file name.
std::vector<ExternalPassRow> RowsByFileName(const std::vector<std::string>& paths);

// Where the pass reports to: the log list of the window, or the terminal.
class ExternalPassReporter {
 public:
  virtual ~ExternalPassReporter() = default;
  // Appends a row to the log.
  virtual void Log(std::string_view row) = 0;
  // Rewrites the last row of the log (the converter redraws a row with CR).
  // Called only after a Log of the same pass.
  virtual void ReplaceLastLog(std::string_view row) = 0;
  // Selects the last row of the log.
  virtual void SelectLastLog() = 0;
  // Tells the user of a failure that does not stop the pass.
  virtual void ShowMessage(std::string_view text) = 0;
  // After every row change while the converter runs: a chance to repaint.
  virtual void Repaint() {}
};

enum class CopyBack {
  kCopied,      // the work copy replaced the file at the row's path and is deleted
  kMissing,     // the work folder has no file of the row's work name; the path is untouched
  kFailed,      // reading the work copy or writing the path failed; both are as they were
  kRejected,    // `accept` refused the work copy; both are as they were
  kEmptied,     // the converter emptied a work copy that had bytes; both are as they were
  kFormBroken,  // a form's work copy no longer starts with its head line; both are as they were
};

// Why a row's file did not go back, in the words of the log.
std::string WhyNotCopiedBack(CopyBack copy_back, int exit_code);

struct ExternalPassResult {
  std::string command_line;
  int exit_code = 0;
  std::vector<CopyBack> rows;  // one per input row, in order
};

// The pass:
//   1. checks the work folder (CheckWorkFolder) and locks it and the rows'
//      folders against another run, unless the caller holds them;
//   2. runs ConCmdCommandLine(program, direction, engine parameter, work
//      folder + "*.*") through RunAndCapture, the converter's output going
//      into the log as it arrives (Repaint after every row change);
//   3. logs "%s returned %d" with the command line and the exit code, and
//      selects that row;
//   4. copies back every row, first to last, whatever the exit code: the work
//      copy (never read through a symbolic link) is logged as "Copy back
//      <work path> -> <path>" and replaces the file at the row's path (atomically: the path holds either its old
//      content or the complete new one) and is then deleted.  A copy the converter emptied, or a form whose text lost
//      its head line, stays out.  A failure of one row is shown through ShowMessage, the work copy is kept, and the
//      next row follows.  A work copy that is missing leaves the path untouched and is reported only in the result;
//   5. empties the work folder when this program made it (its marker).
// A file that is a row's own file is never deleted.  Fails with EOSError
// when the converter cannot be started (its message starts with the program
// path), with ETimedOut when it ran past `timeout`, and with an Exception for
// an unusable work folder or a program path that holds a double quote;
// nothing is copied back then.
ExternalPassResult RunExternalEngine(const ExternalPassInputs& inputs, ExternalPassReporter& reporter);

}  // namespace bgconv
