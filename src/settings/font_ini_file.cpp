#include "settings/font_ini_file.h"

#include "platform/errors.h"

namespace bgconv {

Font& TFontIniFile::ReadFont(std::string_view section, std::string_view key, Font& font) const {
  const std::string text = ReadText(section, key, FontToString(font));
  try {
    StringToFont(text, font);
  } catch (const EConvertError&) {
    // A hand-edited colour is no reason to stop the start; the fields before
    // it are in, the charset after it keeps its value.
  }
  return font;
}

void TFontIniFile::WriteFont(std::string_view section, std::string_view key, const Font& font) {
  WriteText(section, key, FontToString(font));
}

}  // namespace bgconv
