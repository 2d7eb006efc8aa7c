#pragma once
// Command lines as one text, split into arguments the way Windows programs
// split theirs: blanks separate, double quotes group.  The runner hands a
// command line to the system "unchanged": no shell, no variable expansion, no
// globbing, so "*.*" reaches the child exactly as written.

#include <string>
#include <string_view>
#include <vector>

namespace bgconv {

// The arguments of `command_line`, the program first.
//
// The program is the text up to the first blank or tab, or, when it starts
// with a double quote, the text up to the next double quote (no escapes).
// Every further argument follows the rules of the Microsoft C runtime:
//   - blanks and tabs outside double quotes separate arguments;
//   - a double quote opens or closes a quoted part and is dropped; inside a
//     quoted part two double quotes stand for one;
//   - 2n backslashes before a double quote give n backslashes and the quote
//     acts as above; 2n+1 give n backslashes and a literal double quote;
//   - backslashes anywhere else are literal.
// A command line of blanks only has no arguments.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

// `argument` as SplitCommandLine reads it back as one argument after the
// program: unchanged when it is not empty and holds no blank, tab or double
// quote; otherwise in double quotes, with the double quotes inside and the
// backslashes before them escaped.
std::string QuoteArgument(std::string_view argument);

// `program` as the first word of a command line: in double quotes when it is
// empty or holds a blank or a tab.  Fails with an Exception for a path that
// holds a double quote, which no command line can carry as its program.
std::string QuoteProgram(std::string_view program);

}  // namespace bgconv
