#include <iostream>

#include "app/cli.h"
#include "form/decode_form_file.h"
#include "form/read_form_file.h"
#include "platform/ansi_codepage.h"
#include "platform/debug_channel.h"
#include "platform/errors.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kFormUsage =
    "Usage: bgconv form [--acp 950|936] [--raw] FILE...\n"
    "Writes the form text of each form file (binary or text) to standard output,\n"
    "its wide-string literals (#20320#22909) folded into quoted strings in the\n"
    "ANSI code page, with CR LF line ends.\n"
    "\n"
    "  --acp 950   fold into Big5, the code page of a Big5 project (the default)\n"
    "  --acp 936   fold into GB2312, the code page of a GB2312 project\n"
    "  --raw       the decoded text as it is: no folding, line ends unchanged\n"
    "\n"
    "A file that fails is named on standard error with the reason; the others\n"
    "are still written, and the exit code is 1.\n";

// The decoded text, before folding; a failure names the file as
// LoadFormText's does.
std::string RawFormText(const std::string& path) {
  try {
    return DecodeFormFile(path);
  } catch (const std::exception& error) {
    throw EFormFileError(path, FailureText(error));
  }
}

void WriteOut(std::ostream& out, const std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) throw Exception("cannot write to standard output");
}

}  // namespace

int RunForm(Arguments& args, Io io) {
  int code_page = SourceCodePage(Direction::kBigToGb);
  bool raw = false;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kFormUsage;
      return kExitOk;
    }
    if (*option == "--acp") {
      code_page = ParseCodePage(args.Value(), "form");
    } else if (*option == "--raw") {
      raw = true;
    } else {
      args.Unknown(*option);
    }
  }
  if (args.Operands().empty()) throw UsageError("form: needs at least one FILE");

  const AnsiCodePage ansi(code_page);
  StreamDebugChannel debug(io.err, "bgconv: debug: ");
  int exit_code = kExitOk;
  for (const auto& path : args.Operands()) {
    std::string text;
    try {
      text = raw ? RawFormText(path) : LoadFormText(path, ansi, debug);
    } catch (const EFormFileError& error) {
      io.err << "bgconv: " << error.what() << "\n";
      exit_code = kExitFailure;
      continue;
    }
    WriteOut(io.out, text);
  }
  return exit_code;
}

}  // namespace bgconv::cli
