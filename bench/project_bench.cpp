// The main job at scale: `bgconv convert` of a generated Delphi project of
// 5,000 units and 5,000 forms (~200 MB, Big5), measured in the same run as
// the two things a user could do instead: `cp -r` of the same tree (the
// floor: every byte read and written once) and a shell loop over `iconv`
// that writes a temporary file and renames it over each file.
//
//   project_bench [--units N] [--runs N] [--dir FOLDER] [--make-only]
//
// --make-only writes the project and leaves it there (for profiling).
//
// Prints the median wall time of each, the ratios, and bgconv's peak memory
// (maximum resident set).  Runs on demand; the numbers are noisy while other
// processes use the disk or the processors.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
  double seconds = 0;
  long peak_kib = 0;
};

// Runs `argv` to its end with its output discarded.  The dirty pages of
// whatever ran before are written out first, so that no command is timed on
// the write-back of another.
Outcome Run(std::vector<std::string> args) {
  ::sync();
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + args[0]);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
  }
  Outcome outcome;
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.peak_kib = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(args[0] + " failed");
  return outcome;
}

// Big5 characters of the common range that iconv also converts.
class Big5Source {
 public:
  explicit Big5Source(unsigned seed) : random_(seed) {}
  std::string Characters(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
      text += static_cast<char>(0xA4 + random_() % 0x20);
      const auto trail = static_cast<unsigned>(random_() % 157);
      text += static_cast<char>(trail < 63 ? 0x40 + trail : 0xA1 + (trail - 63));
    }
    return text;
  }
  unsigned Next(unsigned bound) { return static_cast<unsigned>(random_() % bound); }

 private:
  std::mt19937 random_;
};

std::string Unit(Big5Source& big5, int index, std::size_t target) {
  const std::string name = "Unit" + std::to_string(index);
  std::string text = "unit " + name + ";\r\n\r\n{ " + big5.Characters(20) +
                     " }\r\n\r\ninterface\r\n\r\nuses\r\n"
                     "  Windows, Messages, SysUtils, Classes, Controls, Forms, StdCtrls;\r\n\r\nimplementation\r\n\r\n";
  int procedure = 0;
  while (text.size() < target) {
    text += "procedure T" + name + ".Step" + std::to_string(procedure++) + "(Sender: TObject);\r\n";
    text += "begin\r\n  // " + big5.Characters(12 + big5.Next(20)) + "\r\n";
    text += "  Caption := '" + big5.Characters(4 + big5.Next(8)) + "';\r\n";
    text += "  if Tag > " + std::to_string(procedure) + " then\r\n    ShowMessage('" + big5.Characters(6) + "');\r\n";
    text += "end;\r\n\r\n";
  }
  return text + "end.\r\n";
}

std::string Form(Big5Source& big5, int index, std::size_t target) {
  std::string text = "object Form" + std::to_string(index) + ": TForm" + std::to_string(index) +
                     "\r\n  Left = 192\r\n  Top = 107\r\n  Caption = '" + big5.Characters(6) +
                     "'\r\n  Font.Charset = CHINESEBIG5_CHARSET\r\n  Font.Name = '\xB2\xD3\xA9\xFA\xC5\xE9'\r\n";
  int control = 0;
  while (text.size() < target) {
    const std::string name = "Label" + std::to_string(control++);
    text += "  object " + name + ": TLabel\r\n    Left = 16\r\n    Top = " + std::to_string(16 * control) +
            "\r\n    Caption = '" + big5.Characters(3 + big5.Next(10)) +
            "'\r\n    Font.Charset = CHINESEBIG5_CHARSET\r\n  end\r\n";
  }
  return text + "end\r\n";
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::uintmax_t MakeProject(const fs::path& folder, int units) {
  fs::create_directories(folder / "Forms");
  Big5Source big5(42);
  std::uintmax_t bytes = 0;
  std::string program = "program Big;\r\n\r\n{ " + big5.Characters(20) + " }\r\n\r\nuses\r\n  Forms";
  for (int i = 0; i < units; ++i) {
    // Half the units live in a subfolder, named the Windows way.
    const std::string name = "Unit" + std::to_string(i);
    const std::string relative = (i % 2 ? "Forms\\" : "") + name + ".pas";
    program += ",\r\n  " + name + " in '" + relative + "' {Form" + std::to_string(i) + "}";
    const fs::path unit = folder / (i % 2 ? "Forms" : "") / (name + ".pas");
    const std::string unit_text = Unit(big5, i, 26000 + big5.Next(8000));
    const std::string form_text = Form(big5, i, 6000 + big5.Next(4000));
    WriteFile(unit, unit_text);
    WriteFile(fs::path(unit).replace_extension(".dfm"), form_text);
    bytes += unit_text.size() + form_text.size();
  }
  program += ";\r\n\r\n{$R *.res}\r\n\r\nbegin\r\n  Application.Initialize;\r\n  Application.Run;\r\nend.\r\n";
  WriteFile(folder / "Big.dpr", program);
  return bytes + program.size();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int units = 5000;
  int runs = 3;
  fs::path base = fs::temp_directory_path();
  bool make_only = false;
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--make-only") {
      make_only = true;
      --i;
    } else if (i + 1 >= argc) {
      std::fprintf(stderr, "project_bench: %s needs a value\n", option.c_str());
      return 2;
    } else if (option == "--units") {
      units = std::atoi(argv[i + 1]);
    } else if (option == "--runs") {
      runs = std::atoi(argv[i + 1]);
    } else if (option == "--dir") {
      base = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: project_bench [--units N] [--runs N] [--dir FOLDER] [--make-only]\n");
      return 2;
    }
  }
  const std::string bgconv = std::string(BGCONV_BIN_DIR) + "/bgconv";

  std::string pattern = (base / "bgconv-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path root = pattern;
  const fs::path source = root / "source";
  const std::uintmax_t bytes = MakeProject(source, units);
  std::printf("project: %d units and %d forms, %.1f MB, in %s\n", units, units, static_cast<double>(bytes) / 1e6,
              root.c_str());
  if (make_only) return 0;
  if (runs < 1) runs = 1;

  // The loop a user would write: convert each file to a temporary one, then
  // rename it over the file.
  const std::string iconv_loop =
      "find \"$1\" -type f -print0 | while IFS= read -r -d '' f; do "
      "iconv -c -f BIG5 -t GB2312 \"$f\" > \"$f.tmp\" && mv \"$f.tmp\" \"$f\"; done";

  std::vector<double> copy_times, bgconv_times, iconv_times;
  long peak_kib = 0;
  try {
    for (int run = 0; run < runs; ++run) {
      const fs::path copy = root / ("copy" + std::to_string(run));
      copy_times.push_back(Run({"cp", "-r", source.string(), copy.string()}).seconds);
      const Outcome converted = Run({bgconv, "convert", "--to", "gb", "--quiet", (copy / "Big.dpr").string()});
      bgconv_times.push_back(converted.seconds);
      peak_kib = std::max(peak_kib, converted.peak_kib);

      const fs::path loop = root / ("loop" + std::to_string(run));
      Run({"cp", "-r", source.string(), loop.string()});
      iconv_times.push_back(Run({"bash", "-c", iconv_loop, "bash", loop.string()}).seconds);
      std::printf("run %d: cp -r %.2f s, bgconv convert %.2f s, iconv loop %.2f s\n", run + 1, copy_times.back(),
                  bgconv_times.back(), iconv_times.back());
      std::fflush(stdout);
      // The copies stay until the end: deleting files on a disk mounted with
      // "discard" slows the next commands down.
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "project_bench: %s\n", error.what());
    fs::remove_all(root);
    return 1;
  }
  fs::remove_all(root);

  const double copy = Median(copy_times);
  const double ours = Median(bgconv_times);
  const double loop = Median(iconv_times);
  std::printf("\nmedian of %d runs:  cp -r %.2f s   bgconv convert %.2f s (%.0f MB/s)   iconv loop %.2f s\n", runs,
              copy, ours, static_cast<double>(bytes) / 1e6 / ours, loop);
  std::printf("bgconv / cp -r     %.2fx   (bar: at most 2.5x)\n", ours / copy);
  std::printf("iconv loop / bgconv %.1fx   (bar: at least 10x)\n", loop / ours);
  std::printf("bgconv peak memory %.1f MB (maximum resident set)\n", static_cast<double>(peak_kib) / 1024.0);
  return 0;
}
