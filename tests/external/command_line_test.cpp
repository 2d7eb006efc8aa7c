#include "external/command_line.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace bgconv {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  const struct {
    const char* line;
    Args args;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"prog", {"prog"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      // The program: a quote only groups, backslashes are plain.
      {"\"/opt/my tools/ConCmd\" /o:gbk", {"/opt/my tools/ConCmd", "/o:gbk"}},
      {"\"C:\\dir\\\"x", {"C:\\dir\\", "x"}},
      {"/opt/my tools/ConCmd /o:gbk", {"/opt/my", "tools/ConCmd", "/o:gbk"}},
      {"\"unterminated prog", {"unterminated prog"}},
      // Wildcards and other shell characters are plain text.
      {"c /o:big5 /w/*.* $HOME `x` a;b", {"c", "/o:big5", "/w/*.*", "$HOME", "`x`", "a;b"}},
      // Quotes group and vanish, also in the middle of an argument.
      {"p \"a b\" c\"d e\"f \"\"", {"p", "a b", "cd ef", ""}},
      {"p \"a\"\"b\"", {"p", "a\"b"}},
      {"p \"open to the end", {"p", "open to the end"}},
      // Backslashes count only before a quote.
      {"p a\\b\\\\c", {"p", "a\\b\\\\c"}},
      {"p a\\\"b", {"p", "a\"b"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p \"a\\\\\"", {"p", "a\\"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(QuoteArgument, SplitsBackToTheSameArgument) {
  const std::string arguments[] = {
      "plain",
      "/o:gbk",
      "/work dir/*.*",
      "",
      "tab\there",
      "say \"hi\"",
      "trailing\\",
      "in quotes\\",
      "back\\\\slashes \\\" and quote",
      "\\\"",
      "\xB3\x5C \xA5\x5C\"",
  };
  for (const auto& argument : arguments) {
    const auto split = SplitCommandLine("prog " + QuoteArgument(argument) + " next");
    EXPECT_EQ(split, (Args{"prog", argument, "next"})) << argument;
  }
  EXPECT_EQ(QuoteArgument("/w/*.*"), "/w/*.*") << "no quotes where none are needed";
}

TEST(QuoteProgram, QuotesBlanksAndRefusesQuotes) {
  EXPECT_EQ(QuoteProgram("/opt/bgconv/ConCmd/ConCmd"), "/opt/bgconv/ConCmd/ConCmd");
  EXPECT_EQ(SplitCommandLine(QuoteProgram("/my tools/ConCmd") + " x"), (Args{"/my tools/ConCmd", "x"}));
  EXPECT_EQ(SplitCommandLine(QuoteProgram("/tools\\/ConCmd") + " x"), (Args{"/tools\\/ConCmd", "x"}));
  EXPECT_THROW(QuoteProgram("/odd\"name/ConCmd"), Exception);
}

}  // namespace
}  // namespace bgconv
