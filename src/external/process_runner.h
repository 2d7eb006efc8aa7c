#pragma once
// Runs a console program and turns what it writes to its standard output into
// rows of a list while it runs.  The runner knows nothing about the program:
// it appends rows to the caller's list (and may rewrite the last row it wrote)
// and calls the caller back after every change, so that a window can repaint
// its log while the program works.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"

namespace bgconv {

// The rows the runner writes.  It appends rows and rewrites the last one; it
// never reads or clears them, so rows that were there before stay untouched.
class CaptureRows {
 public:
  virtual ~CaptureRows() = default;
  virtual void Add(std::string_view row) = 0;
  // Only ever called after Add within the same run.
  virtual void ReplaceLast(std::string_view row) = 0;
};

// Rows kept in a vector.
class StringRows final : public CaptureRows {
 public:
  void Add(std::string_view row) override { rows.emplace_back(row); }
  void ReplaceLast(std::string_view row) override { rows.back() = row; }

  std::vector<std::string> rows;
};

// Called with the rows after every row change.  An empty function counts as
// absent.  An exception it throws ends the run and leaves RunAndCapture.
using TCaptureEvent = std::function<void(CaptureRows& rows)>;

// What a child reports that is still running when the wait gives up.
inline constexpr int kStillActive = 259;
// How long RunAndCapture waits for the child once its output has ended.
inline constexpr int kChildWaitMilliseconds = 5000;

// Starts the program of `command_line` (split as SplitCommandLine splits it;
// a program name without a separator is looked up in PATH), without a shell,
// with its standard output on a pipe and its standard input and error on
// /dev/null; it inherits the environment and the current folder.  Turns the
// output into rows as it arrives:
//   - CR writes the text gathered since the last write into the current row:
//     a new row when the new-row flag is set, else over the last row;
//   - LF sets the new-row flag and is not stored;
//   - any other byte is gathered; the 256th forces a write into a new row;
//   - a row's text ends at its first zero byte.
// The flag starts set, so the first write always appends.  After the output
// ends (when the child and every process that inherited the pipe have closed
// it), waits for the child at most kChildWaitMilliseconds, writes the
// gathered text once more (also when nothing is gathered) and returns the
// exit code: the child's exit status, 128 plus the signal number for a child
// that a signal ended, kStillActive for one still running (it is left to run
// and reaped when it ends).
//
// Fails with EOSError (SystemError) when the pipe or the process cannot be
// made, a missing program included; no row is written then.
//
// With a `timeout`, the child runs in a process group of its own, and when
// its output has not ended within that time the whole group is killed and
// the call fails with ETimedOut (the rows gathered so far stay written).
int RunAndCapture(std::string_view command_line, CaptureRows& rows, const TCaptureEvent& on_change = {},
                  std::optional<std::chrono::seconds> timeout = std::nullopt);

// A program that RunAndCapture ended because it ran past its time.
class ETimedOut : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace bgconv
