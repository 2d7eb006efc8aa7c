#include "ui/qt_text.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "platform/ansi_codepage.h"

namespace bgconv {
namespace {

// One converter per code page for the window's thread; building one loads
// ICU's table.
const AnsiCodePage& CodePage(int code_page) {
  static const AnsiCodePage big5(kCodePageBig5);
  static const AnsiCodePage gb(kCodePageGb2312);
  return code_page == kCodePageGb2312 ? gb : big5;
}

bool IsPlainColour(Colour colour) { return (colour & 0xFF000000u) == 0; }

}  // namespace

QString PathToQt(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQt(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString DecodeCodePage(std::string_view bytes, int code_page) {
  const std::u16string wide = CodePage(code_page).ToWide(bytes);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string EncodeCodePage(const QString& text, int code_page) {
  return CodePage(code_page).FromWide(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

int CodePageOfCharset(int charset) { return charset == kGb2312Charset ? kCodePageGb2312 : kCodePageBig5; }

QFont ToQFont(const Font& font) {
  QFont result;
  result.setFamily(DecodeCodePage(font.name, kWindowCodePage));
  if (font.size > 0) result.setPointSize(font.size);
  result.setBold(font.style.bold);
  result.setItalic(font.style.italic);
  result.setUnderline(font.style.underline);
  result.setStrikeOut(font.style.strike_out);
  if (font.pitch == FontPitch::kFixed) {
    result.setFixedPitch(true);
    result.setStyleHint(QFont::TypeWriter);
  }
  return result;
}

void ApplyFont(QWidget& widget, const Font& font) {
  widget.setFont(ToQFont(font));
  if (IsPlainColour(font.colour)) {
    const QColor colour(static_cast<int>(font.colour & 0xFF), static_cast<int>((font.colour >> 8) & 0xFF),
                        static_cast<int>((font.colour >> 16) & 0xFF));
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
  }
}

int ScaledPixels(int pixels) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const qreal dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
  return qRound(pixels * dpi / 96.0);
}

}  // namespace bgconv
