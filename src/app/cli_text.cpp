#include <iostream>
#include <iterator>

#include "app/cli.h"
#include "app/cli_text_utf8.h"
#include "codec/charset_names.h"
#include "codec/converter.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kTextUsage =
    "Usage: bgconv text --to gb|big5 [--fix-charset] [--change-default-charset] [FILE]\n"
    "       bgconv text --to utf8 --from big5|gb [--no-bom] [--script MODE] [FILE]\n"
    "Converts FILE (or standard input, also when FILE is '-') with the built-in\n"
    "engine and writes the result to standard output.\n"
    "\n"
    "  --to gb                   Big5 to GB2312 (\"BIG->GB\")\n"
    "  --to big5                 GB2312 to Big5 (\"GB->BIG \")\n"
    "  --fix-charset             also rewrite the charset identifiers of form text\n"
    "                            (CHINESEBIG5_CHARSET <-> GB2312_CHARSET)\n"
    "  --change-default-charset  with --fix-charset, rewrite DEFAULT_CHARSET too\n"
    "  --to utf8 --from big5|gb  Big5 or GB2312 to UTF-8, led by a byte order mark\n"
    "  --no-bom                  UTF-8 without one\n"
    "  --script keep|simplified|traditional\n"
    "                            convert the hanzi word by word (OpenCC); keep\n"
    "                            changes none\n";

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
  bool to_utf8 = false;
  TextToUtf8Options utf8;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kTextUsage;
      return kExitOk;
    }
    if (*option == "--to") {
      const std::string value = args.Value();
      to_utf8 = value == "utf8";
      if (!to_utf8) direction = ParseDirection(value, "text");
    } else if (TakeUtf8Option(*option, args, utf8)) {
    } else if (*option == "--fix-charset") {
      fix_charset = true;
    } else if (*option == "--change-default-charset") {
      change_default = true;
    } else {
      args.Unknown(*option);
    }
  }
  if (!to_utf8 && !direction) throw UsageError("text: --to gb, --to big5 or --to utf8 is required");
  CheckUtf8Options(to_utf8, fix_charset, utf8);
  if (change_default && !fix_charset) throw UsageError("text: --change-default-charset needs --fix-charset");

  const auto& operands = args.Operands();
  const bool from_file = !operands.empty() && operands[0] != "-";
  return ForFile(from_file ? operands[0] : "standard input", [&] {
    std::string text = to_utf8 ? WholeTextToUtf8(ReadInput(operands, io.in), utf8, io.err)
                               : ConvertText(ReadInput(operands, io.in), *direction);
    if (fix_charset) text = FixCharsetNames(text, TargetSet(*direction), *direction, change_default);
    io.out.write(text.data(), static_cast<std::streamsize>(text.size()));
    io.out.flush();
    if (!io.out) throw Exception("cannot write to standard output");
    return kExitOk;
  });
}

}  // namespace bgconv::cli
