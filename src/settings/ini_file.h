#pragma once
// The in-memory ini store behind both of the program's ini files.  The file
// is read once when the store is opened and written only by SaveFile; every
// read and write in between works on memory.
//
// File rules: lines end in CR, LF or CR LF and a zero byte ends the text;
// every line is trimmed of blanks and control characters; empty lines and
// lines starting with ";" are skipped; "[name]" opens a section when its "]"
// is a character of its own, also with the name trimmed (a repeated name
// opens a second one); lines before the first section are dropped; a
// line with "=" is stored as its trimmed name, "=" and its trimmed value, any
// other line as it stands.  Names compare without regard to case, and when a
// name occurs twice the later occurrence is the one read and replaced.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bgconv {

// A text read as a 32-bit integer: leading blanks, then either a sign "-" or
// "+" before decimal digits, or a hexadecimal prefix "$", "x", "X", "0x" or
// "0X" before hexadecimal digits (up to FFFFFFFF, which wraps to negative
// numbers as the 32-bit pattern says).  Nothing may follow the digits.
// Nothing is returned for an empty text, other characters, or overflow.
std::optional<std::int32_t> ParseInteger(std::string_view text);

class TMemIniFile {
 public:
  // Reads the file at once.  An empty name or a missing file gives an empty
  // store; a file that exists but cannot be read fails with EFOpenError.
  explicit TMemIniFile(std::string file_name);

  const std::string& FileName() const { return file_name_; }

  // The stored value, or `default_value` when the section or key is absent.
  std::string ReadText(std::string_view section, std::string_view key, std::string_view default_value) const;
  // The value read by ParseInteger, or `default_value` when absent or unreadable.
  std::int32_t ReadNumber(std::string_view section, std::string_view key, std::int32_t default_value) const;
  // ReadNumber with the default as 1 or 0: true when the number is not 0.
  bool ReadFlag(std::string_view section, std::string_view key, bool default_value) const;
  // Whether the section holds the key.
  bool HasKey(std::string_view section, std::string_view key) const;

  // Replaces the key's line in place (the key spelled as passed here), or
  // appends it at the end of its section, which is appended at the end of
  // the store when it is new.  Memory only; SaveFile writes.
  void WriteText(std::string_view section, std::string_view key, std::string_view value);
  // Writes the decimal form.
  void WriteNumber(std::string_view section, std::string_view key, std::int32_t value);
  // Writes "1" or "0".
  void WriteFlag(std::string_view section, std::string_view key, bool value);

  // The text SaveFile writes: per section "[name]", its lines and one empty
  // line, each ending in CR LF.  Comments and blank lines are not kept.
  std::string Text() const;
  // Replaces the file by Text(), atomically.  Fails with EFCreateError and
  // leaves the old file as it was.
  void SaveFile() const;

 private:
  struct Line {
    std::string text;
    std::size_t equals;  // position of the first "=", npos for a line without one
    std::string_view Name() const { return std::string_view(text).substr(0, equals); }
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  void Parse(std::string_view text);
  const Section* FindSection(std::string_view name) const;
  Section* FindSection(std::string_view name);
  static const Line* FindKey(const Section& section, std::string_view key);
  static Line* FindKey(Section& section, std::string_view key);

  std::string file_name_;
  std::vector<Section> sections_;
};

}  // namespace bgconv
