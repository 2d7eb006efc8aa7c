#pragma once
// The ini store the program opens on its settings file and on ConCmd.ini:
// the in-memory store plus fonts stored as font strings.

#include <string>
#include <string_view>

#include "settings/font_string.h"
#include "settings/ini_file.h"

namespace bgconv {

class TFontIniFile : public TMemIniFile {
 public:
  using TMemIniFile::TMemIniFile;

  // Reads the key with the font's own font string as default and applies it
  // to `font`.  A colour that cannot be read ends the reading quietly; the
  // font keeps what was applied before it.
  Font& ReadFont(std::string_view section, std::string_view key, Font& font) const;
  void WriteFont(std::string_view section, std::string_view key, const Font& font);
};

}  // namespace bgconv
