#include "external/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "external/command_line.h"
#include "platform/errors.h"
#include "platform/file_descriptor.h"

extern char** environ;

namespace bgconv {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr std::size_t kReadBufferSize = 257;
constexpr std::size_t kMaxLineLength = 256;

// The capture state of one call: the text gathered since the last write and
// whether the next write starts a new row.
class LineCapture {
 public:
  LineCapture(CaptureRows& rows, const TCaptureEvent& on_change) : rows_(rows), on_change_(on_change) {}

  void Feed(const char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      const char byte = bytes[i];
      if (byte == '\n') {
        new_row_ = true;
      } else if (byte == '\r') {
        FlushCapturedLine();
      } else {
        line_[length_++] = byte;
        if (length_ == kMaxLineLength) {
          new_row_ = true;
          FlushCapturedLine();
        }
      }
    }
  }

  void FlushCapturedLine() {
    line_[length_] = '\0';
    const std::string_view text(line_, ::strnlen(line_, length_));
    if (new_row_) {
      rows_.Add(text);
    } else {
      rows_.ReplaceLast(text);
    }
    new_row_ = false;
    length_ = 0;
    if (on_change_) on_change_(rows_);
  }

 private:
  CaptureRows& rows_;
  const TCaptureEvent& on_change_;
  char line_[kMaxLineLength + 1] = {};
  std::size_t length_ = 0;
  bool new_row_ = true;
};

int ExitCodeOf(int status) {
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// A started child.  One that is not waited for to its end (still running
// after the wait, or left when a callback throws) is handed to a thread of
// its own that reaps it when it ends, so it never lingers as a zombie.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  ~Child() {
    if (reaped_) return;
    try {
      std::thread([pid = pid_] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    } catch (...) {
      // Without a thread the child stays a zombie until this program ends.
    }
  }

  // The exit code, kStillActive when the child is still running after
  // `limit`, -1 when the system no longer knows it (something else reaped it).
  int WaitAtMost(milliseconds limit) {
    const auto deadline = steady_clock::now() + limit;
    auto pause = milliseconds(1);
    for (;;) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        reaped_ = true;
        return ExitCodeOf(status);
      }
      if (done < 0 && errno != EINTR) {
        reaped_ = true;
        return -1;
      }
      const auto now = steady_clock::now();
      if (now >= deadline) return kStillActive;
      std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, deadline - now));
      pause = std::min(pause * 2, milliseconds(50));
    }
  }

 private:
  pid_t pid_;
  bool reaped_ = false;
};

class SpawnSetup {
 public:
  SpawnSetup(int output_fd, bool own_process_group) {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawnattr_init(&attributes_);
    int error = ::posix_spawn_file_actions_adddup2(&actions_, output_fd, STDOUT_FILENO);
    if (error == 0) error = ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (error == 0) error = ::posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The child starts with no blocked signals and the default action for
    // SIGPIPE, whatever this program set for itself: a child whose reader
    // went away ends instead of writing into nothing forever.
    sigset_t signals;
    sigemptyset(&signals);
    if (error == 0) error = ::posix_spawnattr_setsigmask(&attributes_, &signals);
    sigaddset(&signals, SIGPIPE);
    if (error == 0) error = ::posix_spawnattr_setsigdefault(&attributes_, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (own_process_group) {
      flags |= POSIX_SPAWN_SETPGROUP;
      if (error == 0) error = ::posix_spawnattr_setpgroup(&attributes_, 0);
    }
    if (error == 0) error = ::posix_spawnattr_setflags(&attributes_, flags);
    if (error != 0) {
      Release();
      throw SystemError(error);
    }
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() { Release(); }

  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  void Release() {
    if (released_) return;
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
    released_ = true;
  }

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  bool released_ = false;
};

// Whether `fd` has something to read (or has ended) before `deadline`.
bool WaitForOutput(int fd, steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0) return false;
    pollfd watched{fd, POLLIN, 0};
    const int ready = ::poll(&watched, 1, static_cast<int>(std::min<long long>(left, 60000)));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return true;  // the read reports it
  }
}

}  // namespace

int RunAndCapture(std::string_view command_line, CaptureRows& rows, const TCaptureEvent& on_change,
                  std::optional<std::chrono::seconds> timeout) {
  std::vector<std::string> arguments = SplitCommandLine(command_line);
  if (arguments.empty()) throw SystemError(ENOENT);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // Both ends close on exec: the child gets the write end only as its
  // standard output, and never the read end, so the pipe ends when the
  // child's output does.
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw SystemError(errno);
  FileDescriptor read_end(ends[0]);
  FileDescriptor write_end(ends[1]);

  pid_t pid = 0;
  {
    const SpawnSetup setup(write_end.get(), timeout.has_value());
    const int error = ::posix_spawnp(&pid, argv[0], setup.actions(), setup.attributes(), argv.data(), environ);
    if (error != 0) throw SystemError(error);
  }
  Child child(pid);
  write_end.Close();

  LineCapture capture(rows, on_change);
  const auto deadline = steady_clock::now() + timeout.value_or(std::chrono::seconds(0));
  char buffer[kReadBufferSize];
  for (;;) {
    if (timeout && !WaitForOutput(read_end.get(), deadline)) {
      ::kill(-pid, SIGKILL);  // the converter and whatever it started
      child.WaitAtMost(milliseconds(kChildWaitMilliseconds));
      capture.FlushCapturedLine();
      throw ETimedOut(arguments.front() + " did not finish within " + std::to_string(timeout->count()) +
                      " seconds and was ended");
    }
    const ssize_t count = ::read(read_end.get(), buffer, sizeof buffer);
    if (count > 0) {
      capture.Feed(buffer, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // end of the output, or a read error, which ends it as well
    }
  }
  const int exit_code = child.WaitAtMost(milliseconds(kChildWaitMilliseconds));
  capture.FlushCapturedLine();
  return exit_code;
}

}  // namespace bgconv
