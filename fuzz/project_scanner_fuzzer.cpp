// Any bytes as a project and the files it names, in a fresh folder per run:
// the scan and the workspace end without a crash, every name the scanner
// gives stands between the first two quotes of a line of the project file,
// in the order of those lines, and every row of the workspace lies under the
// project's folder (the folder is a plain prefix of its path).
//
// Input: one byte whose low bit picks the program (.dpr, odd) or the package
// (.dpk, even), then the project's text, then for each file a 0x1F byte, its
// name relative to the project's folder ("Sub\Unit2.pas"; one leading "..\"
// reaches the folder above, which holds the project folder), a LF and its
// bytes.  "$T" in the project's text stands for that folder above, so
// absolute names can name files that exist.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/line_list.h"
#include "workspace/project_scanner.h"
#include "workspace/workspace.h"

namespace {

namespace fs = std::filesystem;

constexpr char kFileSeparator = '\x1F';
constexpr std::size_t kMaxFiles = 6;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The file name as a relative path below `root`, or empty when it names
// nothing this target writes: components of letters, digits, ".", "_" and
// "-", at most three, ".." only as the first.
std::string SafeName(std::string_view name) {
  std::string path;
  std::size_t components = 0;
  while (!name.empty()) {
    const std::size_t end = name.find_first_of("\\/");
    const std::string_view component = name.substr(0, end);
    name = end == std::string_view::npos ? std::string_view() : name.substr(end + 1);
    if (component.empty() || component == "." || ++components > 3) return {};
    if (component == ".." && components != 1) return {};
    for (const char c : component) {
      const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '_' || c == '-';
      if (!allowed) return {};
    }
    path += path.empty() ? "" : "/";
    path += component;
  }
  return path == ".." ? std::string() : path;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReplaceAll(std::string text, std::string_view from, const std::string& to) {
  for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
    text.replace(pos, from.size(), to);
  return text;
}

// A folder of its own, removed with everything in it at the end of the run.
class RunFolder {
 public:
  RunFolder() {
    std::string pattern = (fs::temp_directory_path() / "bgconv-scan-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr);
    root_ = pattern;
  }
  ~RunFolder() {
    fs::current_path(kStart);  // the scan made the project's folder current
    std::error_code error;
    fs::remove_all(root_, error);
  }
  const fs::path& root() const { return root_; }

 private:
  static inline const fs::path kStart = fs::current_path();
  fs::path root_;
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// The names must be the quoted fields of lines of the project, in line order.
void CheckNamesInFileOrder(const std::string& project_path, const std::vector<std::string>& names) {
  bgconv::LineList lines;
  lines.LoadFromFile(project_path);
  std::size_t next = 0;
  for (std::size_t i = 0; i < lines.Count() && next < names.size(); ++i)
    if (Trimmed(bgconv::ExtractField(lines.Get(i), "'", 2)) == names[next]) ++next;
  Check(next == names.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool program = (data[0] & 1) != 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  RunFolder run;
  const fs::path folder = run.root() / "proj";
  fs::create_directory(folder);
  const std::size_t project_end = input.find(kFileSeparator);
  const std::string project = ReplaceAll(std::string(input.substr(0, project_end)), "$T", run.root().string());
  const std::string project_path = (folder / (program ? "P.dpr" : "P.dpk")).string();
  WriteFile(project_path, project);
  input = project_end == std::string_view::npos ? std::string_view() : input.substr(project_end + 1);
  for (std::size_t files = 0; !input.empty() && files < kMaxFiles; ++files) {
    const std::size_t end = input.find(kFileSeparator);
    const std::string_view file = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    const std::size_t newline = file.find('\n');
    const std::string name = SafeName(file.substr(0, newline));
    if (!name.empty() && name != "P.dpr" && name != "P.dpk")
      WriteFile(folder / name, newline == std::string_view::npos ? std::string_view() : file.substr(newline + 1));
  }

  std::vector<std::string> names;
  if (program) {
    bgconv::ScanDprUnits(project_path, names);
  } else {
    bgconv::ScanDpkUnits(project_path, names);
  }
  for (const auto& name : names) Check(!name.empty());
  CheckNamesInFileOrder(project_path, names);

  bgconv::Workspace workspace;
  workspace.OpenProject(project_path);
  const std::string prefix = folder.string() + "/";
  Check(!workspace.Rows().empty() && workspace.Rows().front().path == project_path);
  Check(workspace.Rows().size() >= 1 + names.size());
  for (const auto& row : workspace.Rows()) Check(row.path.compare(0, prefix.size(), prefix) == 0);
  return 0;
}
