#pragma once
// Between the core's byte strings and what Qt shows.  File names are the
// file system's bytes (the locale's encoding); the text of a file is shown in
// the code page it is written in; fonts travel as the settings' plain value.

#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "settings/font_string.h"

class QWidget;

namespace bgconv {

// The code page the window itself is designed in: its font names and its
// Chinese captions are Big5.
inline constexpr int kWindowCodePage = 950;

// A path as the file system spells it, and back.
QString PathToQt(std::string_view path);
std::string PathFromQt(const QString& path);

// `bytes` decoded in `code_page` (950 or 936); an undefined sequence shows
// as "?".
QString DecodeCodePage(std::string_view bytes, int code_page);
std::string EncodeCodePage(const QString& text, int code_page);

// The code page of a font charset: 134 GB2312, anything else Big5.
int CodePageOfCharset(int charset);

// The Qt font for a settings font.  A face the system does not have falls
// back through the system's font matching; the Chinese glyphs then come from
// whatever CJK font is installed.
QFont ToQFont(const Font& font);

// Applies a settings font to `widget`: its face, size and style, and its
// text colour unless that is a system colour.
void ApplyFont(QWidget& widget, const Font& font);

// `pixels` at 96 dots per inch on the primary screen.
int ScaledPixels(int pixels);

}  // namespace bgconv
