#include "ui/controls.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextOption>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt_text.h"

namespace bgconv {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(0);
  layout->setContentsMargins(ScaledPixels(8), ScaledPixels(2), ScaledPixels(4), ScaledPixels(2));
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_.push_back(button);
    group_->addButton(button, i);
    layout->addWidget(button);
  }
  connect(group_, &QButtonGroup::idClicked, this, [this](int index) { SetItemIndex(index); });
}

void TRadioGroup::SetItemIndex(int index, bool notify) {
  if (index < -1 || index >= static_cast<int>(buttons_.size())) index = -1;
  const bool changed = index != item_index_;
  item_index_ = index;
  if (index >= 0) {
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);
  } else if (QAbstractButton* checked = group_->checkedButton()) {
    group_->setExclusive(false);
    checked->setChecked(false);
    group_->setExclusive(true);
  }
  if (changed && notify) emit Click();
}

QRadioButton* TRadioGroup::Button(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

BytePane::BytePane(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
}

void BytePane::SetBytes(std::string bytes, int code_page) {
  bytes_ = std::move(bytes);
  code_page_ = code_page;
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  Show();
}

void BytePane::SetCodePage(int code_page) {
  if (code_page == code_page_) return;
  code_page_ = code_page;
  Show();
}

void BytePane::ClearBytes() { SetBytes(std::string(), code_page_); }

QString BytePane::Text() const {
  QString text;
  text.reserve(text_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i != 0) text += u'\n';
    text += QStringView(text_).mid(lines_[i].start, lines_[i].length);
  }
  return text;
}

QString BytePane::Line(int index) const {
  if (index < 0 || index >= LineCount()) return {};
  const LineSpan& line = lines_[static_cast<std::size_t>(index)];
  return text_.mid(line.start, line.length);
}

int BytePane::TopLine() const { return verticalScrollBar()->value(); }

void BytePane::Show() {
  text_ = DecodeCodePage(bytes_, code_page_);
  lines_.clear();
  widest_columns_ = 0;
  if (!text_.isEmpty()) {
    const QChar* const chars = text_.constData();
    const qsizetype size = text_.size();
    qsizetype start = 0;
    qsizetype columns = 0;
    for (qsizetype i = 0; i < size; ++i) {
      const char16_t unit = chars[i].unicode();
      if (unit == u'\n' || unit == u'\r') {
        lines_.push_back({start, i - start});
        widest_columns_ = std::max(widest_columns_, columns);
        if (unit == u'\r' && i + 1 < size && chars[i + 1] == u'\n') ++i;
        start = i + 1;
        columns = 0;
      } else {
        columns += unit < 0x0100 ? 1 : 2;
      }
    }
    lines_.push_back({start, size - start});  // after a final line break: an empty last line
    widest_columns_ = std::max(widest_columns_, columns);
  }
  UpdateScrollBars();
  viewport()->update();
}

int BytePane::LineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

void BytePane::UpdateScrollBars() {
  const int visible = std::max(1, viewport()->height() / LineHeight());
  verticalScrollBar()->setRange(0, std::max(0, LineCount() - visible));
  verticalScrollBar()->setPageStep(visible);
  verticalScrollBar()->setSingleStep(1);
  const qsizetype width = widest_columns_ * fontMetrics().averageCharWidth() + 2 * kMargin;
  horizontalScrollBar()->setRange(0, static_cast<int>(std::max<qsizetype>(0, width - viewport()->width())));
  horizontalScrollBar()->setPageStep(viewport()->width());
  horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
}

void BytePane::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  painter.setFont(font());
  const int height = LineHeight();
  const int first = TopLine();
  const int x = kMargin - horizontalScrollBar()->value();
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(8.0 * fontMetrics().horizontalAdvance(u' '));
  const int last = std::min(LineCount(), first + viewport()->height() / height + 2);
  for (int line = first; line < last; ++line) {
    const QRectF box(x, (line - first) * height, 1e6, height);
    painter.drawText(box, Line(line), option);
  }
}

void BytePane::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void BytePane::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateScrollBars();
}

void BytePane::keyPressEvent(QKeyEvent* event) {
  QScrollBar* vertical = verticalScrollBar();
  QScrollBar* horizontal = horizontalScrollBar();
  switch (event->key()) {
    case Qt::Key_Up:
      vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Down:
      vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      break;
    case Qt::Key_PageUp:
      vertical->triggerAction(QAbstractSlider::SliderPageStepSub);
      break;
    case Qt::Key_PageDown:
      vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
      break;
    case Qt::Key_Left:
      horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
      break;
    case Qt::Key_Right:
      horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      break;
    case Qt::Key_Home:
      vertical->setValue(0);
      horizontal->setValue(0);
      break;
    case Qt::Key_End:
      vertical->setValue(vertical->maximum());
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QFrame::mousePressEvent(event);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QFrame::mouseReleaseEvent(event);
  if (click) emit Clicked();
}

namespace {

// A sheet of paper with a folded corner.
void DrawPage(QPainter& painter, const QColor& band) {
  const QPolygon sheet({QPoint(2, 0), QPoint(10, 0), QPoint(14, 4), QPoint(14, 15), QPoint(2, 15)});
  painter.setPen(QColor(0x60, 0x60, 0x60));
  painter.setBrush(Qt::white);
  painter.drawPolygon(sheet);
  painter.drawPolyline(QPolygon({QPoint(10, 0), QPoint(10, 4), QPoint(14, 4)}));
  if (band.isValid()) painter.fillRect(QRect(3, 10, 11, 5), band);
}

void DrawLines(QPainter& painter, const QColor& colour, int from, int to) {
  painter.setPen(colour);
  for (int y = from; y <= to; y += 2) painter.drawLine(4, y, 11, y);
}

// A small window: frame, title bar.
void DrawWindow(QPainter& painter, const QRect& frame, const QColor& title) {
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.setBrush(QColor(0xF0, 0xF0, 0xF0));
  painter.drawRect(frame);
  painter.fillRect(QRect(frame.left() + 1, frame.top() + 1, frame.width() - 1, 3), title);
}

QPixmap DrawFileType(int index) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  switch (index) {
    case 2:  // project: a page with the project's blue band
      DrawPage(painter, QColor(0x1F, 0x4E, 0xB4));
      DrawLines(painter, QColor(0x1F, 0x4E, 0xB4), 3, 7);
      break;
    case 3:  // package: a brown box
      painter.setPen(QColor(0x5A, 0x3A, 0x10));
      painter.setBrush(QColor(0xC8, 0x96, 0x50));
      painter.drawRect(1, 5, 13, 10);
      painter.drawLine(1, 5, 4, 1);
      painter.drawLine(14, 5, 11, 1);
      painter.drawLine(4, 1, 11, 1);
      painter.fillRect(QRect(7, 6, 2, 9), QColor(0x5A, 0x3A, 0x10));
      break;
    case 4:  // unit source: a page of green code lines
      DrawPage(painter, QColor());
      DrawLines(painter, QColor(0x10, 0x80, 0x30), 3, 13);
      break;
    case 5:  // form: a window on a page
      DrawPage(painter, QColor());
      DrawWindow(painter, QRect(3, 5, 10, 8), QColor(0x10, 0x80, 0x30));
      break;
    case 6:  // run-time package: a box with a blue band
      painter.setPen(QColor(0x20, 0x20, 0x60));
      painter.setBrush(QColor(0x80, 0x9C, 0xD8));
      painter.drawRect(1, 4, 13, 11);
      painter.fillRect(QRect(2, 8, 12, 3), QColor(0x20, 0x20, 0x60));
      break;
    case 7:  // library: a page with two cog teeth rows
      DrawPage(painter, QColor(0x80, 0x80, 0x80));
      painter.setPen(QColor(0x40, 0x40, 0x40));
      painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
      painter.drawEllipse(QPoint(8, 6), 3, 3);
      break;
    case 8:  // text: a page of grey lines
      DrawPage(painter, QColor());
      DrawLines(painter, QColor(0x70, 0x70, 0x70), 3, 13);
      break;
    case 9:  // program: a window with a blue title bar
      DrawWindow(painter, QRect(0, 2, 15, 12), QColor(0x1F, 0x4E, 0xB4));
      break;
    case 1:  // no file type has it: a folder
      painter.setPen(QColor(0x80, 0x60, 0x10));
      painter.setBrush(QColor(0xF0, 0xC8, 0x50));
      painter.drawRect(0, 4, 15, 10);
      painter.drawRect(0, 2, 6, 2);
      break;
    default:  // any other file: a blank page
      DrawPage(painter, QColor());
      break;
  }
  return pixmap;
}

}  // namespace

QIcon FileTypeIcon(int index) { return QIcon(DrawFileType(index >= 0 && index < kFileTypeIconCount ? index : 0)); }

}  // namespace bgconv
