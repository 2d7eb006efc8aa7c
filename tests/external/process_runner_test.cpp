#include "external/process_runner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <map>

#include "external/command_line.h"
#include "platform/errors.h"
#include "support/temp_dir.h"

namespace bgconv {
namespace {

using Rows = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// A shell script the runner starts as a program of its own.
std::string Script(const test_support::TempDir& dir, const std::string& name, const std::string& body) {
  const auto path = dir.Write(name, "#!/bin/sh\n" + body + "\n");
  ::chmod(path.c_str(), 0755);
  return path;
}

struct Capture {
  Rows rows;
  std::vector<Rows> states;  // the rows at every callback
  int exit_code = -1;
};

Capture CaptureOf(const std::string& command_line, Rows before = {}) {
  StringRows rows;
  rows.rows = std::move(before);
  Capture capture;
  capture.exit_code = RunAndCapture(command_line, rows, [&](CaptureRows& changed) {
    EXPECT_EQ(&changed, &rows);
    capture.states.push_back(rows.rows);
  });
  capture.rows = rows.rows;
  return capture;
}

TEST(RunAndCapture, TurnsOutputIntoRowsByTheLineRules) {
  const std::string line300 = std::string(256, 'x') + std::string(44, 'y');
  const struct {
    const char* what;
    std::string output;  // printf format
    Rows rows;
    std::vector<Rows> states;
  } cases[] = {
      {"no output: one empty row from the final write", "", {""}, {{""}}},
      {"CR LF ends a row; the final write adds an empty one", "abc\\r\\n", {"abc", ""}, {{"abc"}, {"abc", ""}}},
      {"a progress counter redrawn with CR stays one row",
       "10%%\\r20%%\\r30%%\\r\\n",
       {"30%", ""},
       {{"10%"}, {"20%"}, {"30%"}, {"30%", ""}}},
      {"a lone LF does not end a row", "a\\nb\\n", {"ab"}, {{"ab"}}},
      {"a second CR writes an empty text over the row", "abc\\r\\r\\n", {"", ""}, {{"abc"}, {""}, {"", ""}}},
      {"text after the last CR replaces the row at the final write", "abc\\rdef", {"def"}, {{"abc"}, {"def"}}},
      {"a zero byte ends the row's text",
       "ab\\000cd\\r\\nef\\r\\n",
       {"ab", "ef", ""},
       {{"ab"}, {"ab", "ef"}, {"ab", "ef", ""}}},
      {"the 256th character forces a new row; the rest replaces it at CR",
       line300 + "\\r\\n",
       {std::string(44, 'y'), ""},
       {{std::string(256, 'x')}, {std::string(44, 'y')}, {std::string(44, 'y'), ""}}},
  };
  test_support::TempDir dir;
  int index = 0;
  for (const auto& c : cases) {
    const auto script = Script(dir, "case" + std::to_string(index++), "printf '" + c.output + "'");
    const auto capture = CaptureOf(script);
    EXPECT_EQ(capture.rows, c.rows) << c.what;
    EXPECT_EQ(capture.states, c.states) << c.what;
    EXPECT_EQ(capture.exit_code, 0) << c.what;
  }
}

TEST(RunAndCapture, AppendsAfterTheCallersRowsAndNeverTouchesThem) {
  test_support::TempDir dir;
  const auto capture = CaptureOf(Script(dir, "s", "printf 'x\\r'"), {"earlier", "rows"});
  // The first write appends; the final write (flag clear after the CR)
  // rewrites only the row this call wrote.
  EXPECT_EQ(capture.rows, (Rows{"earlier", "rows", ""}));
}

TEST(RunAndCapture, ReturnsTheExitCode) {
  test_support::TempDir dir;
  EXPECT_EQ(CaptureOf(Script(dir, "three", "exit 3")).exit_code, 3);
  EXPECT_EQ(CaptureOf(Script(dir, "max", "exit 255")).exit_code, 255);
  EXPECT_EQ(CaptureOf(Script(dir, "killed", "kill -9 $$")).exit_code, 128 + 9);
}

TEST(RunAndCapture, ArgumentsReachTheChildAsWrittenWithoutAShell) {
  test_support::TempDir dir;
  dir.Write("match.txt", "");  // a shell would expand *.* to this
  const auto script = Script(dir, "args", "for a in \"$@\"; do printf '[%s]\\r\\n' \"$a\"; done");
  const auto capture = CaptureOf(QuoteProgram(script) + " /o:gbk \"" + dir.path().string() + "/*.*\" $HOME \"a b\" >x");
  EXPECT_EQ(capture.rows, (Rows{"[/o:gbk]", "[" + dir.path().string() + "/*.*]", "[$HOME]", "[a b]", "[>x]", ""}));
}

TEST(RunAndCapture, ChildHasOnlyTheWriteEndAndNoErrorOutputIsCaptured) {
  test_support::TempDir dir;
  // The script's own descriptors: standard input and error, its standard
  // output (the pipe), and the pipe's read end if that leaked into it (both
  // ends of a pipe show the same "pipe:[inode]").
  const auto script = Script(dir, "fds",
                             "echo 'to standard error' >&2\n"
                             "ls -l /proc/$$/fd | sed 's/$/\\r/'");
  const auto capture = CaptureOf(script);
  std::map<std::string, std::string> targets;
  for (const auto& row : capture.rows) {
    EXPECT_EQ(row.find("standard error"), std::string::npos);
    const auto arrow = row.find(" -> ");
    if (arrow == std::string::npos) continue;
    const auto space = row.rfind(' ', arrow - 1);
    targets[row.substr(space + 1, arrow - space - 1)] = row.substr(arrow + 4);
  }
  EXPECT_EQ(targets["0"], "/dev/null");
  EXPECT_EQ(targets["2"], "/dev/null");
  const std::string pipe = targets["1"];
  EXPECT_EQ(pipe.rfind("pipe:", 0), 0u) << pipe;
  int ends = 0;
  for (const auto& [fd, target] : targets) ends += target == pipe;
  EXPECT_EQ(ends, 1) << "the read end must not reach the child";
}

TEST(RunAndCapture, AChildThatClosesItsOutputButRunsOnIsLeftAfterFiveSeconds) {
  test_support::TempDir dir;
  const auto started = Clock::now();
  const auto capture = CaptureOf(Script(dir, "sleeper", "printf 'bye\\r\\n'; exec >&-; sleep 8"));
  const auto waited = Clock::now() - started;
  EXPECT_EQ(capture.exit_code, kStillActive);
  EXPECT_EQ(capture.rows, (Rows{"bye", ""}));
  EXPECT_GE(waited, std::chrono::milliseconds(kChildWaitMilliseconds));
  EXPECT_LT(waited, std::chrono::milliseconds(kChildWaitMilliseconds + 2500));
}

TEST(RunAndCapture, AProgramThatCannotStartFailsWithTheSystemsTextAndNoRows) {
  test_support::TempDir dir;
  dir.Write("not-executable", "#!/bin/sh\n");
  const struct {
    std::string command_line;
    int code;
    const char* text;
  } cases[] = {
      {dir.File("missing") + " /o:gbk x", 2, "No such file or directory"},
      {"bgconv-no-such-program-anywhere", 2, "No such file or directory"},
      {dir.File("not-executable"), 13, "Permission denied"},
      {"", 2, "No such file or directory"},
  };
  for (const auto& c : cases) {
    StringRows rows;
    rows.rows = {"kept"};
    int calls = 0;
    try {
      RunAndCapture(c.command_line, rows, [&](CaptureRows&) { ++calls; });
      ADD_FAILURE() << c.command_line << " started";
    } catch (const EOSError& error) {
      EXPECT_EQ(error.ErrorCode(), c.code) << c.command_line;
      EXPECT_EQ(std::string(error.what()), "System Error.  Code: " + std::to_string(c.code) + ".\r\n" + c.text);
    }
    EXPECT_EQ(rows.rows, Rows{"kept"});
    EXPECT_EQ(calls, 0);
  }
}

TEST(RunAndCapture, ACallbackFailureEndsTheRunWithoutWaitingForTheChild) {
  test_support::TempDir dir;
  // Without its reader the child dies of SIGPIPE at its next write.
  const auto script = Script(dir, "chatty", "printf 'first\\r\\n'; while :; do printf 'more\\r\\n'; sleep 0.05; done");
  StringRows rows;
  const auto started = Clock::now();
  EXPECT_THROW(RunAndCapture(script, rows, [](CaptureRows&) { throw Exception("stop"); }), Exception);
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(3));
  EXPECT_EQ(rows.rows, Rows{"first"});
}

TEST(RunAndCapture, LooksUpABareProgramNameInPath) {
  const auto capture = CaptureOf("printf abc\\r\\n");
  EXPECT_EQ(capture.rows, (Rows{"abc", ""}));
}

}  // namespace
}  // namespace bgconv
