#include "detect_corpus.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

// ICU's U8_NEXT converts between int and uint8_t inside the macro.
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"

namespace bgconv::bench {
namespace {

std::uint32_t Word(const std::string& data, std::size_t at, bool swap) {
  if (at + 4 > data.size()) throw std::runtime_error("message catalog cut short");
  std::uint32_t word;
  std::memcpy(&word, data.data() + at, 4);
  return swap ? __builtin_bswap32(word) : word;
}

// The translations of one .mo file: each plural form, each line.
void AddCatalog(const std::filesystem::path& path, std::vector<std::string>& lines) {
  std::ifstream file(path, std::ios::binary);
  const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const std::uint32_t magic = Word(data, 0, false);
  if (magic != 0x950412DE && magic != 0xDE120495) return;
  const bool swap = magic == 0xDE120495;
  const std::uint32_t count = Word(data, 8, swap);
  const std::uint32_t originals = Word(data, 12, swap);
  const std::uint32_t translations = Word(data, 16, swap);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (Word(data, originals + 8 * i, swap) == 0) continue;  // the catalog's header
    const std::uint32_t length = Word(data, translations + 8 * i, swap);
    const std::uint32_t offset = Word(data, translations + 8 * i + 4, swap);
    if (std::size_t{offset} + length > data.size()) throw std::runtime_error("message catalog cut short");
    std::string_view text(data.data() + offset, length);
    while (!text.empty()) {
      const std::size_t end = std::min(text.find_first_of(std::string_view("\n\0", 2)), text.size());
      if (end > 0) lines.emplace_back(text.substr(0, end));
      text.remove_prefix(std::min(end + 1, text.size()));
    }
  }
}

bool IsHanzi(UChar32 c) { return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || c >= 0x20000; }

// The byte length of the prefix of `utf8` that ends right after its
// `hanzi`-th hanzi, or nothing when it holds fewer.
std::optional<std::size_t> PrefixWithHanzi(std::string_view utf8, std::size_t hanzi) {
  std::size_t seen = 0;
  for (std::int32_t i = 0, size = static_cast<std::int32_t>(utf8.size()); i < size;) {
    UChar32 c;
    U8_NEXT(utf8.data(), i, size, c);
    if (IsHanzi(c) && ++seen == hanzi) return static_cast<std::size_t>(i);
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> CatalogLines(std::string_view locale) {
  const std::filesystem::path folder = std::filesystem::path("/usr/share/locale") / locale / "LC_MESSAGES";
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".mo") paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> lines;
  for (const auto& path : paths) AddCatalog(path, lines);
  return lines;
}

std::size_t CountHanzi(std::string_view utf8) {
  std::size_t hanzi = 0;
  for (std::int32_t i = 0, size = static_cast<std::int32_t>(utf8.size()); i < size;) {
    UChar32 c;
    U8_NEXT(utf8.data(), i, size, c);
    hanzi += IsHanzi(c) ? 1u : 0u;
  }
  return hanzi;
}

std::vector<std::string> LinesWithHanzi(const std::vector<std::string>& lines, std::size_t hanzi) {
  std::vector<std::string> cut;
  for (const auto& line : lines)
    if (const auto length = PrefixWithHanzi(line, hanzi)) cut.push_back(line.substr(0, *length));
  return cut;
}

std::string CutAfterHanzi(std::string_view utf8, std::size_t hanzi) {
  return std::string(utf8.substr(0, PrefixWithHanzi(utf8, hanzi).value_or(utf8.size())));
}

std::optional<std::string> Encode(std::string_view utf8, const char* converter) {
  UErrorCode status = U_ZERO_ERROR;
  std::u16string wide(utf8.size() + 1, u'\0');
  std::int32_t wide_length = 0;
  u_strFromUTF8(wide.data(), static_cast<std::int32_t>(wide.size()), &wide_length, utf8.data(),
                static_cast<std::int32_t>(utf8.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  std::unique_ptr<UConverter, decltype(&ucnv_close)> codec(ucnv_open(converter, &status), ucnv_close);
  if (U_FAILURE(status)) throw std::runtime_error(std::string("no ICU converter ") + converter);
  ucnv_setFromUCallBack(codec.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::string out(static_cast<std::size_t>(wide_length) * 4 + 4, '\0');
  const std::int32_t length = ucnv_fromUChars(codec.get(), out.data(), static_cast<std::int32_t>(out.size()),
                                              wide.data(), wide_length, &status);
  if (U_FAILURE(status)) return std::nullopt;
  out.resize(static_cast<std::size_t>(length));
  return out;
}

bool IsGb2312(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) continue;
    if (i + 1 >= text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return false;
  }
  return true;
}

std::string MakeUnit(const SnippetSource& next, std::size_t hanzi, int number) {
  const std::string n = std::to_string(number);
  std::string unit = "unit Unit" + n +
                     ";\r\n\r\ninterface\r\n\r\nuses\r\n"
                     "  Windows, Messages, SysUtils, Classes, Graphics, Controls, Forms, Dialogs, StdCtrls;\r\n\r\n"
                     "type\r\n  TForm" +
                     n +
                     " = class(TForm)\r\n    Label1: TLabel;\r\n    Button1: TButton;\r\n"
                     "    procedure Button1Click(Sender: TObject);\r\n  end;\r\n\r\nvar\r\n  Form" +
                     n + ": TForm" + n + ";\r\n\r\nimplementation\r\n\r\n{$R *.dfm}\r\n";
  std::size_t placed = 0;
  for (int slot = 0; placed < hanzi; ++slot) {
    if (slot % 4 == 0) {
      unit += (slot == 0 ? "\r\n" : "end;\r\n\r\n");
      unit += "procedure TForm" + n + ".Button" + std::to_string(slot / 4 + 1) + "Click(Sender: TObject);\r\n";
      unit += "var\r\n  I: Integer;\r\nbegin\r\n  I := Tag + " + std::to_string(slot) + ";\r\n";
    }
    Snippet snippet = next(hanzi - placed);
    placed += snippet.hanzi;
    std::string quoted;
    for (char c : snippet.bytes) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    switch (slot % 4) {
      case 0:
        unit += "  // " + snippet.bytes + "\r\n  if I > 0 then Exit;\r\n";
        break;
      case 1:
        unit += "  ShowMessage('" + quoted + "');\r\n";
        break;
      case 2:
        unit += "  Caption := '" + quoted + "' + IntToStr(I);\r\n";
        break;
      default:
        unit += "  Label1.Hint := '" + quoted + "';\r\n";
        break;
    }
  }
  return unit + "end;\r\n\r\nend.\r\n";
}

}  // namespace bgconv::bench
