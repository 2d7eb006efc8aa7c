// Any bytes as an ini file: reading never fails on its content, and what it
// reads, saved and read again, is the same store: the same text and the
// same value for every key.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// One file in a folder of its own, removed when the fuzzer exits; in memory
// where the system offers it, since every run writes the file twice.
const std::string& IniPath() {
  static const std::string path = [] {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string folder = (base / "ini_file_fuzzer.XXXXXX").string();
    Check(mkdtemp(folder.data()) != nullptr);
    static const std::string remove = folder;
    std::atexit([] { std::filesystem::remove_all(remove); });
    return folder + "/settings.ini";
  }();
  return path;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Check(static_cast<bool>(out));
}

// The names of the sections and keys of a saved text, in the saved form.
void CheckSameValues(const std::string& text, const bgconv::TMemIniFile& first, const bgconv::TMemIniFile& second) {
  std::string section;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (!line.empty() && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const std::size_t equals = line.find('='); equals != std::string::npos) {
      const std::string key = line.substr(0, equals);
      Check(first.ReadText(section, key, "\x01") == second.ReadText(section, key, "\x01"));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = IniPath();
  WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  const bgconv::TMemIniFile first(path);
  const std::string text = first.Text();
  first.SaveFile();
  const bgconv::TMemIniFile second(path);
  Check(second.Text() == text);
  CheckSameValues(text, first, second);
  return 0;
}
