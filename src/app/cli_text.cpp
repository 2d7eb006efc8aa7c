#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "app/cli.h"
#include "app/cli_text_utf8.h"
#include "codec/text_stream.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_descriptor.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kTextUsage =
    "Usage: bgconv text --to gb|big5 [OPTIONS] [FILE]\n"
    "       bgconv text --to gb|big5 [OPTIONS] --in-place FILE...\n"
    "       bgconv text --to utf8 --from big5|gb [--no-bom] [--script MODE] [FILE]\n"
    "Converts FILE (or standard input, also when FILE is '-') with the built-in\n"
    "engine and writes the result to standard output.  The text goes through in\n"
    "blocks, so memory stays small whatever its size (--to utf8 reads it whole).\n"
    "\n"
    "  --to gb                   Big5 to GB2312 (\"BIG->GB\")\n"
    "  --to big5                 GB2312 to Big5 (\"GB->BIG \")\n"
    "  -o, --output FILE         write to FILE instead; it is replaced only once\n"
    "                            the whole conversion is written\n"
    "  --in-place                convert each FILE in place, each replaced in one step\n"
    "  --fix-charset             also rewrite the charset identifiers of form text\n"
    "                            (CHINESEBIG5_CHARSET <-> GB2312_CHARSET)\n"
    "  --change-default-charset  with --fix-charset, rewrite DEFAULT_CHARSET too\n"
    "  --to utf8 --from big5|gb  Big5 or GB2312 to UTF-8, led by a byte order mark\n"
    "  --no-bom                  UTF-8 without one\n"
    "  --script keep|simplified|traditional\n"
    "                            convert the hanzi word by word (OpenCC); keep\n"
    "                            changes none\n";

struct TextOptions {
  TextConversion conversion;
  bool to_utf8 = false;  // --to utf8: the whole text is decoded in one piece
  TextToUtf8Options utf8;
  std::string output;  // empty: standard output
  bool in_place = false;
};

// Converts what `read` gives and hands the result to `write`: in blocks, or
// for --to utf8 as one piece (the count of what did not decode goes to `err`).
void Convert(const TextOptions& options, const ReadBlock& read, const WriteBlock& write, std::ostream& err) {
  if (!options.to_utf8) {
    ConvertStream(options.conversion, read, write);
    return;
  }
  std::string text;
  std::string block(kTextBlockSize, '\0');
  for (std::size_t got; (got = read(block.data(), block.size())) > 0;) text.append(block, 0, got);
  write(WholeTextToUtf8(text, options.utf8, err));
}

// The blocks of the open file `fd`, named `path` in messages.
ReadBlock FileBlocks(int fd, const std::string& path) {
  return [fd, path](char* buffer, std::size_t size) {
    for (;;) {
      const ssize_t got = ::read(fd, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) throw EFOpenError(path, std::strerror(errno));
    }
  };
}

FileDescriptor OpenInput(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) throw EFOpenError(path);
  return file;
}

// Converts what `read` gives into the file `path`, which keeps its old
// content unless the whole conversion is written.
void ConvertIntoFile(const TextOptions& options, const ReadBlock& read, const std::string& path, std::ostream& err) {
  WriteFileAtomicallyWith(path, [&](int fd) {
    Convert(
        options, read,
        [&](std::string_view bytes) {
          if (!WriteAll(fd, bytes)) throw EFCreateError(path, std::strerror(errno));
        },
        err);
    return true;
  });
}

void ConvertToStandardOutput(const TextOptions& options, const ReadBlock& read, std::ostream& out, std::ostream& err) {
  Convert(
      options, read,
      [&](std::string_view bytes) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw Exception("cannot write to standard output");
      },
      err);
  out.flush();
  if (!out) throw Exception("cannot write to standard output");
}

TextOptions ParseTextOptions(Arguments& args, bool& help) {
  TextOptions options;
  std::optional<Direction> direction;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      help = true;
      return options;
    }
    if (*option == "--to") {
      const std::string value = args.Value();
      options.to_utf8 = value == "utf8";
      if (!options.to_utf8) direction = ParseDirection(value, "text");
    } else if (TakeUtf8Option(*option, args, options.utf8)) {
    } else if (*option == "-o" || *option == "--output") {
      options.output = args.Value();
      if (options.output.empty()) throw UsageError("text: --output needs a file name");
    } else if (*option == "--in-place") {
      options.in_place = true;
    } else if (*option == "--fix-charset") {
      options.conversion.fix_charset = true;
    } else if (*option == "--change-default-charset") {
      options.conversion.change_default = true;
    } else {
      args.Unknown(*option);
    }
  }
  if (!options.to_utf8 && !direction) throw UsageError("text: --to gb, --to big5 or --to utf8 is required");
  CheckUtf8Options(options.to_utf8, options.conversion.fix_charset, options.utf8);
  if (direction) options.conversion.direction = *direction;
  if (options.conversion.change_default && !options.conversion.fix_charset)
    throw UsageError("text: --change-default-charset needs --fix-charset");
  const auto& operands = args.Operands();
  if (options.in_place) {
    if (!options.output.empty()) throw UsageError("text: --in-place and --output exclude each other");
    if (operands.empty()) throw UsageError("text: --in-place needs at least one FILE");
    for (const auto& operand : operands)
      if (operand == "-") throw UsageError("text: --in-place cannot convert standard input");
  } else if (operands.size() > 1) {
    throw UsageError("text: takes at most one FILE (or --in-place FILE...)");
  }
  return options;
}

// Each file on its own: a failure is reported and the others still convert.
int ConvertInPlace(const TextOptions& options, const std::vector<std::string>& paths, std::ostream& err) {
  int status = kExitOk;
  for (const auto& path : paths) {
    try {
      ForFile(path, [&] {
        const FileDescriptor input = OpenInput(path);
        ConvertIntoFile(options, FileBlocks(input.get(), path), path, err);
      });
    } catch (const Exception& error) {
      err << "bgconv: " << error.what() << "\n";
      status = kExitFailure;
    }
  }
  return status;
}

}  // namespace

int RunText(Arguments& args, Io io) {
  bool help = false;
  const TextOptions options = ParseTextOptions(args, help);
  if (help) {
    io.out << kTextUsage;
    return kExitOk;
  }
  const auto& operands = args.Operands();
  if (options.in_place) return ConvertInPlace(options, operands, io.err);

  const bool from_file = !operands.empty() && operands[0] != "-";
  const std::string input_name = from_file ? operands[0] : "standard input";
  return ForFile(input_name, [&] {
    std::optional<FileDescriptor> file;
    ReadBlock read = [&io](char* buffer, std::size_t size) {
      io.in.read(buffer, static_cast<std::streamsize>(size));
      if (io.in.bad()) throw Exception("cannot read standard input");
      return static_cast<std::size_t>(io.in.gcount());
    };
    if (from_file) {
      file.emplace(OpenInput(input_name));
      read = FileBlocks(file->get(), input_name);
    }
    if (options.output.empty()) {
      ConvertToStandardOutput(options, read, io.out, io.err);
    } else {
      ConvertIntoFile(options, read, options.output, io.err);
    }
    return kExitOk;
  });
}

}  // namespace bgconv::cli
