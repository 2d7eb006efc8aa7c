#include "settings/font_string.h"

#include <array>
#include <cstdio>
#include <utility>

#include "platform/ansi_codepage.h"
#include "platform/errors.h"
#include "settings/ini_file.h"

namespace bgconv {
namespace {

constexpr Colour kSystemColour = 0x80000000;

constexpr std::array<NamedColour, 52> kNamedColours = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    // The system colours: the flag bit over the system's colour index.
    {"clActiveBorder", kSystemColour | 10},
    {"clActiveCaption", kSystemColour | 2},
    {"clAppWorkSpace", kSystemColour | 12},
    {"clBackground", kSystemColour | 1},
    {"clBtnFace", kSystemColour | 15},
    {"clBtnHighlight", kSystemColour | 20},
    {"clBtnShadow", kSystemColour | 16},
    {"clBtnText", kSystemColour | 18},
    {"clCaptionText", kSystemColour | 9},
    {"clGradientActiveCaption", kSystemColour | 27},
    {"clGradientInactiveCaption", kSystemColour | 28},
    {"clGrayText", kSystemColour | 17},
    {"clHighlight", kSystemColour | 13},
    {"clHighlightText", kSystemColour | 14},
    {"clHotLight", kSystemColour | 26},
    {"clInactiveBorder", kSystemColour | 11},
    {"clInactiveCaption", kSystemColour | 3},
    {"clInactiveCaptionText", kSystemColour | 19},
    {"clInfoBk", kSystemColour | 24},
    {"clInfoText", kSystemColour | 23},
    {"clMenu", kSystemColour | 4},
    {"clMenuBar", kSystemColour | 30},
    {"clMenuHighlight", kSystemColour | 29},
    {"clMenuText", kSystemColour | 7},
    {"clScrollBar", kSystemColour | 0},
    {"cl3DDkShadow", kSystemColour | 21},
    {"cl3DLight", kSystemColour | 22},
    {"clWindow", kSystemColour | 5},
    {"clWindowFrame", kSystemColour | 6},
    {"clWindowText", kSystemColour | 8},
    {"clDefault", 0x20000000},
    {"clNone", 0x1FFFFFFF},
}};

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AnsiUpper(static_cast<unsigned char>(a[i])) != AnsiUpper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The number when `text` is one within [low, high].
std::optional<std::int32_t> NumberIn(std::string_view text, std::int32_t low, std::int32_t high) {
  const auto number = ParseInteger(text);
  if (!number || *number < low || *number > high) return std::nullopt;
  return number;
}

}  // namespace

std::span<const NamedColour> NamedColours() { return kNamedColours; }

std::string StyleToLetters(FontStyle style) {
  std::string letters;
  if (style.bold) letters += 'B';
  if (style.italic) letters += 'I';
  if (style.underline) letters += 'U';
  if (style.strike_out) letters += 'S';
  return letters;
}

FontStyle LettersToStyle(std::string_view letters) {
  FontStyle style;
  for (std::size_t pos = 0; pos < letters.size(); pos += CharLengthAt(letters, pos)) {
    if (CharLengthAt(letters, pos) != 1) continue;
    switch (AnsiUpper(static_cast<unsigned char>(letters[pos]))) {
      case 'B':
        style.bold = true;
        break;
      case 'I':
        style.italic = true;
        break;
      case 'U':
        style.underline = true;
        break;
      case 'S':
        style.strike_out = true;
        break;
      default:
        break;
    }
  }
  return style;
}

std::string ColourToText(Colour colour) {
  for (const auto& named : kNamedColours) {
    if (named.value == colour) return std::string(named.name);
  }
  char text[16];
  std::snprintf(text, sizeof text, "$%.8X", static_cast<unsigned>(colour));
  return text;
}

std::optional<Colour> ColourByName(std::string_view name) {
  for (const auto& named : kNamedColours) {
    if (SameAsciiText(named.name, name)) return named.value;
  }
  return std::nullopt;
}

std::string FontToString(const Font& font) {
  return font.name + "," + std::to_string(font.size) + "," + StyleToLetters(font.style) + "," +
         std::to_string(static_cast<int>(font.pitch)) + "," + ColourToText(font.colour) + "," +
         std::to_string(static_cast<int>(font.charset));
}

void StringToFont(std::string_view text, Font& font) {
  std::size_t pos = 0;
  for (int field = 0; pos < text.size(); ++field) {
    std::size_t end = text.find_first_of(",;", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = TrimBlanks(text.substr(pos, end - pos));
    pos = end + 1;
    switch (field) {
      case 0:
        font.name = piece;
        break;
      case 1:
        if (const auto size = ParseInteger(piece)) font.size = *size;
        break;
      case 2:
        font.style = LettersToStyle(piece);
        break;
      case 3:
        if (const auto pitch = NumberIn(piece, 0, 2)) font.pitch = static_cast<FontPitch>(*pitch);
        break;
      case 4:
        if (const auto named = ColourByName(piece)) {
          font.colour = *named;
        } else if (const auto number = ParseInteger(piece)) {
          font.colour = static_cast<Colour>(*number);
        } else {
          throw EConvertError(std::string(piece), "colour");
        }
        break;
      case 5:
        if (const auto charset = NumberIn(piece, 0, 255)) font.charset = static_cast<std::uint8_t>(*charset);
        break;
      default:
        return;
    }
  }
}

}  // namespace bgconv
