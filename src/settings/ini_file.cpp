#include "settings/ini_file.h"

#include <utility>

#include "platform/ansi_codepage.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/line_list.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The name of the section a line opens, or nothing.  The name is stored
// trimmed and written back as "[name]", so the line counts as a section only
// when that line would: the closing "]" must be a character of its own, not
// the trail byte of a lead byte that ends the name ("[\xA4 ]" stays a line).
std::optional<std::string> SectionName(std::string_view line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  std::string name(TrimBlanks(line.substr(1, line.size() - 2)));
  if (!EndsWithSingleByte("[" + name + "]", ']')) return std::nullopt;
  return name;
}

}  // namespace

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos == text.size()) return std::nullopt;

  bool hex = false;
  bool negative = false;
  if (text[pos] == '-' || text[pos] == '+') {
    negative = text[pos] == '-';
    ++pos;
  } else if (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X') {
    hex = true;
    ++pos;
  } else if (text[pos] == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;

  std::uint64_t value = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  for (; pos < text.size(); ++pos) {
    const int digit = hex ? HexDigit(text[pos]) : (text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  if (hex) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
}

TMemIniFile::TMemIniFile(std::string file_name) : file_name_(std::move(file_name)) {
  if (file_name_.empty() || !PathExists(file_name_)) return;
  Parse(ReadWholeFile(file_name_));
}

void TMemIniFile::Parse(std::string_view text) {
  for (const auto& raw : SplitLines(text)) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty() || line.front() == ';') continue;
    if (auto name = SectionName(line)) {
      sections_.push_back({std::move(*name), {}});
      continue;
    }
    if (sections_.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      sections_.back().lines.push_back({std::string(line), std::string::npos});
      continue;
    }
    const std::string_view name = TrimBlanks(line.substr(0, equals));
    std::string stored(name);
    stored += '=';
    stored += TrimBlanks(line.substr(equals + 1));
    sections_.back().lines.push_back({std::move(stored), name.size()});
  }
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
    if (SameTextIgnoringCase(it->name, name)) return &*it;
  }
  return nullptr;
}

TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const TMemIniFile::Line* TMemIniFile::FindKey(const Section& section, std::string_view key) {
  for (auto it = section.lines.rbegin(); it != section.lines.rend(); ++it) {
    if (it->equals != std::string::npos && SameTextIgnoringCase(it->Name(), key)) return &*it;
  }
  return nullptr;
}

TMemIniFile::Line* TMemIniFile::FindKey(Section& section, std::string_view key) {
  return const_cast<Line*>(FindKey(std::as_const(section), key));
}

std::string TMemIniFile::ReadText(std::string_view section, std::string_view key,
                                  std::string_view default_value) const {
  const Section* found_section = FindSection(section);
  const Line* line = found_section ? FindKey(*found_section, key) : nullptr;
  if (line == nullptr) return std::string(default_value);
  return line->text.substr(line->equals + 1);
}

std::int32_t TMemIniFile::ReadNumber(std::string_view section, std::string_view key, std::int32_t default_value) const {
  // "0x" needs no rewriting into "$": ParseInteger takes both.
  return ParseInteger(ReadText(section, key, {})).value_or(default_value);
}

bool TMemIniFile::ReadFlag(std::string_view section, std::string_view key, bool default_value) const {
  return ReadNumber(section, key, default_value ? 1 : 0) != 0;
}

bool TMemIniFile::HasKey(std::string_view section, std::string_view key) const {
  const Section* found_section = FindSection(section);
  return found_section != nullptr && FindKey(*found_section, key) != nullptr;
}

void TMemIniFile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  Section* target = FindSection(section);
  if (target == nullptr) target = &sections_.emplace_back(Section{std::string(section), {}});
  std::string text(key);
  text += '=';
  text += value;
  const std::size_t equals = text.find('=');
  if (Line* line = FindKey(*target, key)) {
    *line = {std::move(text), equals};
  } else {
    target->lines.push_back({std::move(text), equals});
  }
}

void TMemIniFile::WriteNumber(std::string_view section, std::string_view key, std::int32_t value) {
  WriteText(section, key, std::to_string(value));
}

void TMemIniFile::WriteFlag(std::string_view section, std::string_view key, bool value) {
  WriteText(section, key, value ? "1" : "0");
}

std::string TMemIniFile::Text() const {
  LineList lines;
  for (const auto& section : sections_) {
    lines.Add("[" + section.name + "]");
    for (const auto& line : section.lines) lines.Add(line.text);
    lines.Add("");
  }
  return lines.Text();
}

void TMemIniFile::SaveFile() const { WriteFileAtomically(file_name_, Text()); }

}  // namespace bgconv
