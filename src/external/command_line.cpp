#include "external/command_line.h"

#include "platform/errors.h"

namespace bgconv {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  std::vector<std::string> arguments;
  std::size_t pos = 0;
  const std::size_t end = command_line.size();
  while (pos < end && IsBlank(command_line[pos])) ++pos;
  if (pos == end) return arguments;

  // The program: no escapes, a quote only groups.
  if (command_line[pos] == '"') {
    const std::size_t close = command_line.find('"', pos + 1);
    const std::size_t stop = close == std::string_view::npos ? end : close;
    arguments.emplace_back(command_line.substr(pos + 1, stop - pos - 1));
    pos = stop == end ? end : stop + 1;
  } else {
    const std::size_t start = pos;
    while (pos < end && !IsBlank(command_line[pos])) ++pos;
    arguments.emplace_back(command_line.substr(start, pos - start));
  }

  for (;;) {
    while (pos < end && IsBlank(command_line[pos])) ++pos;
    if (pos == end) break;
    std::string argument;
    bool quoted = false;
    while (pos < end && (quoted || !IsBlank(command_line[pos]))) {
      const char c = command_line[pos];
      if (c == '\\') {
        std::size_t count = 0;
        while (pos < end && command_line[pos] == '\\') ++count, ++pos;
        if (pos < end && command_line[pos] == '"') {
          argument.append(count / 2, '\\');
          if (count % 2 == 1) {
            argument += '"';
            ++pos;
          }
        } else {
          argument.append(count, '\\');
        }
      } else if (c == '"') {
        if (quoted && pos + 1 < end && command_line[pos + 1] == '"') {
          argument += '"';
          pos += 2;
        } else {
          quoted = !quoted;
          ++pos;
        }
      } else {
        argument += c;
        ++pos;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return std::string(argument);
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only in front of a double quote; there they double.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  // The closing quote follows: double the backslashes before it.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::string QuoteProgram(std::string_view program) {
  if (program.find('"') != std::string_view::npos) {
    throw Exception("Cannot start " + std::string(program) + ": a program path with a double quote");
  }
  if (!program.empty() && program.find_first_of(" \t") == std::string_view::npos) return std::string(program);
  return "\"" + std::string(program) + "\"";
}

}  // namespace bgconv
