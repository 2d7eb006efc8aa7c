#pragma once
// Fonts as the settings file stores them: one text of six fields,
// "name,size,style,pitch,colour,charset".  A font here is a plain value; the
// window maps it onto its own fonts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace bgconv {

struct FontStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  bool operator==(const FontStyle&) const = default;
};

enum class FontPitch : std::uint8_t { kDefault = 0, kVariable = 1, kFixed = 2 };

// A colour as 0x00BBGGRR, or a system colour 0x80000000 + index, or one of
// the two special values clDefault and clNone.
using Colour = std::uint32_t;

inline constexpr Colour kColourWindowText = 0x80000008;  // clWindowText

inline constexpr std::uint8_t kAnsiCharset = 0;
inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint8_t kGb2312Charset = 134;
inline constexpr std::uint8_t kBig5Charset = 136;

struct Font {
  std::string name;  // bytes in the ANSI code page
  int size = 8;      // points
  FontStyle style;
  FontPitch pitch = FontPitch::kDefault;
  Colour colour = kColourWindowText;
  std::uint8_t charset = kDefaultCharset;
  bool operator==(const Font&) const = default;
};

// "B", "I", "U", "S" in this order, one per style set; empty for none.
std::string StyleToLetters(FontStyle style);
// Each of B, I, U, S found anywhere in the text, in either case, sets that
// style; the others stay clear.
FontStyle LettersToStyle(std::string_view letters);

struct NamedColour {
  std::string_view name;
  Colour value;
};

// The 52 colour identifiers.  No two share a value, so the table reads both
// ways.
std::span<const NamedColour> NamedColours();

// The colour's identifier ("clWindowText") when it has one, else "$" and
// eight uppercase hexadecimal digits.
std::string ColourToText(Colour colour);
// The colour an identifier (any case) names.
std::optional<Colour> ColourByName(std::string_view name);

// "name,size,style,pitch,colour,charset".
std::string FontToString(const Font& font);

// Applies the fields of `text` to `font` in order: the pieces between "," or
// ";" are trimmed and go to name, size, style, pitch, colour and charset; a
// shorter text changes only the leading fields, pieces after the sixth are
// ignored.  A size, pitch or charset that is no number in its range leaves
// the font's own.  A colour that is neither an identifier nor a number fails
// with EConvertError, after the fields before it have been applied.
void StringToFont(std::string_view text, Font& font);

}  // namespace bgconv
