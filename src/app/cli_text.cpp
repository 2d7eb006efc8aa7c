#include <iostream>
#include <iterator>

#include "app/cli.h"
#include "codec/charset_names.h"
#include "codec/converter.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kTextUsage =
    "Usage: bgconv text --to gb|big5 [--fix-charset] [--change-default-charset] [FILE]\n"
    "Converts FILE (or standard input, also when FILE is '-') with the built-in\n"
    "engine and writes the result to standard output.\n"
    "\n"
    "  --to gb                   Big5 to GB2312 (\"BIG->GB\")\n"
    "  --to big5                 GB2312 to Big5 (\"GB->BIG \")\n"
    "  --fix-charset             also rewrite the charset identifiers of form text\n"
    "                            (CHINESEBIG5_CHARSET <-> GB2312_CHARSET)\n"
    "  --change-default-charset  with --fix-charset, rewrite DEFAULT_CHARSET too\n";

std::string ReadInput(const std::vector<std::string>& operands, std::istream& in) {
  if (operands.size() > 1) throw UsageError("text: takes at most one FILE");
  if (!operands.empty() && operands[0] != "-") return ReadWholeFile(operands[0]);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw Exception("cannot read standard input");
  return text;
}

}  // namespace

int RunText(Arguments& args, Io io) {
  std::optional<Direction> direction;
  bool fix_charset = false;
  bool change_default = false;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kTextUsage;
      return kExitOk;
    }
    if (*option == "--to") {
      direction = ParseDirection(args.Value(), "text");
    } else if (*option == "--fix-charset") {
      fix_charset = true;
    } else if (*option == "--change-default-charset") {
      change_default = true;
    } else {
      args.Unknown(*option);
    }
  }
  if (!direction) throw UsageError("text: --to gb or --to big5 is required");
  if (change_default && !fix_charset) throw UsageError("text: --change-default-charset needs --fix-charset");

  const auto& operands = args.Operands();
  const bool from_file = !operands.empty() && operands[0] != "-";
  return ForFile(from_file ? operands[0] : "standard input", [&] {
    std::string text = ConvertText(ReadInput(operands, io.in), *direction);
    if (fix_charset) text = FixCharsetNames(text, TargetSet(*direction), *direction, change_default);
    io.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    io.out.flush();
    if (!io.out) throw Exception("cannot write to standard output");
    return kExitOk;
  });
}

}  // namespace bgconv::cli
