#include "form/ascii_form_text.h"

#include <algorithm>

#include "form/parser.h"
#include "platform/ansi_codepage.h"
#include "platform/line_form.h"

namespace bgconv {
namespace {

bool HasHighByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

std::string AsciiLiteral(std::u16string_view value) {
  std::string literal;
  bool quoted = false;
  for (const char16_t unit : value) {
    const bool escaped = unit < 32 || unit > 126 || unit == u'\'';
    if (escaped == quoted) {
      literal += '\'';
      quoted = !quoted;
    }
    if (escaped) {
      literal += '#' + std::to_string(unit);
    } else {
      literal += static_cast<char>(unit);
    }
  }
  if (quoted) literal += '\'';
  return literal.empty() ? "''" : literal;
}

AsciiFormText FormTextToAscii(std::string_view form_text, int code_page, const ScriptConverter& script) {
  AsciiFormText result;
  std::string out;
  out.reserve(form_text.size() + form_text.size() / 4);
  std::size_t done = 0;
  const auto copy_up_to = [&](std::size_t end) {
    const std::string_view between = form_text.substr(done, end - done);
    out += HasHighByte(between) ? WideToUtf8(DecodeCodePage(between, code_page, result.undecodable))
                                : std::string(between);
    done = end;
  };
  const AnsiCodePage page(code_page);
  TParser parser(form_text, page);
  while (parser.ScanToken() != kEndOfText) {
    const int token = parser.Token();
    if (token != kStringToken && token != kWideStringToken) continue;
    const std::string_view source = form_text.substr(parser.TokenOffset(), parser.TokenLength());
    const std::u16string value = token == kWideStringToken
                                     ? parser.TokenWideValue()
                                     : DecodeCodePage(parser.TokenSource(), code_page, result.undecodable);
    const std::u16string converted = script.Convert(value);
    if (!HasHighByte(source) && converted == value) continue;
    copy_up_to(parser.TokenOffset());
    out += AsciiLiteral(converted);
    done += source.size();
  }
  copy_up_to(std::min(form_text.find('\0', done), form_text.size()));
  result.text = NormalizeLineBreaks(out);
  return result;
}

}  // namespace bgconv
