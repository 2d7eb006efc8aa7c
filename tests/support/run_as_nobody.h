#pragma once
// Runs a piece of a test with the rights of the user "nobody", for whom
// permissions hold even when the tests run as root.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace bgconv::test_support {

inline constexpr uid_t kNobody = 65534;

// Runs `body` (returning a string) in a child process as "nobody".  Returns
// what the body returned, or nothing when the rights could not be dropped.
template <typename Body>
std::optional<std::string> RunAsNobody(Body body) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
    const std::string said = body();
    [[maybe_unused]] const auto written = ::write(pipe_fds[1], said.data(), said.size());
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  std::string said;
  char buffer[512];
  for (ssize_t got; (got = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
    said.append(buffer, static_cast<std::size_t>(got));
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return said;
}

}  // namespace bgconv::test_support
