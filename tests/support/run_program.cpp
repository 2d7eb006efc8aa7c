#include "support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace bgconv::test_support {

std::string ProgramPath(const std::string& program) { return std::string(BGCONV_BIN_DIR) + "/" + program; }

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input) {
  return RunProgramAt(ProgramPath(program), args, input);
}

ProgramResult RunProgramAt(const std::string& path, const std::vector<std::string>& args, const std::string& input,
                           int timeout_seconds) {
  TempDir dir;
  const auto in = dir.Write("stdin", input);
  const auto out = dir.File("stdout");
  const auto err = dir.File("stderr");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> storage{path};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : storage) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + path);
  ProgramResult result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t done = wait4(pid, &status, timeout_seconds > 0 ? WNOHANG : 0, &usage);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) throw std::runtime_error("cannot wait for " + path);
    if (timeout_seconds > 0 && std::chrono::steady_clock::now() > deadline && !result.timed_out) {
      kill(pid, SIGKILL);
      result.timed_out = true;
    }
    if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  result.peak_rss_kb = usage.ru_maxrss;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = dir.Read("stdout");
  result.err = dir.Read("stderr");
  return result;
}

}  // namespace bgconv::test_support
