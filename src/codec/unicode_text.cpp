#include "codec/unicode_text.h"

#include <opencc/opencc.h>

#include <exception>

#include "codec/reading_cost.h"
#include "codec/text_class.h"
#include "platform/ansi_codepage.h"
#include "platform/errors.h"

namespace bgconv {

const char* OpenCCConfig(Script script) { return script == Script::kTraditional ? "s2tw.json" : "tw2s.json"; }

ScriptConverter::ScriptConverter(Script script) {
  if (script == Script::kKeep) return;
  try {
    opencc_ = std::make_unique<opencc::SimpleConverter>(OpenCCConfig(script));
  } catch (const std::exception& error) {
    throw Exception(std::string("Cannot load the vocabulary dictionaries (OpenCC ") + OpenCCConfig(script) +
                    "): " + error.what());
  }
}

ScriptConverter::~ScriptConverter() = default;

std::string ScriptConverter::Convert(std::string utf8) const {
  if (!opencc_ || utf8.empty()) return utf8;
  return opencc_->Convert(utf8);
}

std::u16string ScriptConverter::Convert(std::u16string_view text) const {
  if (!opencc_) return std::u16string(text);
  return Utf8ToWide(Convert(WideToUtf8(text)));
}

Utf8Text TextToUtf8(std::string_view bytes, int code_page, const ScriptConverter& script, bool bom,
                    bool keep_utf8_lines) {
  Utf8Text result;
  std::u16string wide;
  std::size_t done = 0;
  if (keep_utf8_lines) {
    const TextClass page = code_page == kCodePageBig5 ? TextClass::kBig5 : TextClass::kGb2312;
    // A line end is never part of a double-byte character, so the text
    // between kept lines decodes as it would in one piece.
    ForEachHighByteLine(bytes, [&](std::size_t start, std::string_view line) {
      if (!IsForeignUtf8Line(line, page)) return;
      wide += DecodeCodePage(bytes.substr(done, start - done), code_page, result.undecodable);
      wide += Utf8ToWide(line);
      done = start + line.size();
      ++result.kept_lines;
    });
  }
  wide += DecodeCodePage(bytes.substr(done), code_page, result.undecodable);
  if (bom) result.text = kUtf8Bom;
  result.text += script.Convert(WideToUtf8(wide));
  return result;
}

}  // namespace bgconv
