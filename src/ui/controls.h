#pragma once
// The small controls the main window is built from: a radio group with an
// item index, a text pane that keeps the bytes it shows, a panel that reports
// clicks on its bare background, and the file-type icons of the file list.

#include <QAbstractScrollArea>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

class QButtonGroup;
class QRadioButton;

namespace bgconv {

// A group of radio buttons whose choice is an item index.  Click is sent
// whenever the index changes, by the user or through SetItemIndex.
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

  int ItemIndex() const { return item_index_; }
  // Selects item `index` (-1 for none).  With `notify`, a changed index
  // sends Click.
  void SetItemIndex(int index, bool notify = true);
  QRadioButton* Button(int index) const;

 signals:
  void Click();

 private:
  std::vector<QRadioButton*> buttons_;
  QButtonGroup* group_;
  int item_index_ = -1;
};

// A read-only text pane over bytes of one code page.  It keeps the bytes and
// shows them decoded, so a change of the code page shows the same bytes
// anew, and the bytes handed on are always the ones read.  Lines end at LF,
// CR LF or CR.  Only the lines in view are laid out and painted, so a file
// of many megabytes shows at once.
class BytePane : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit BytePane(QWidget* parent = nullptr);

  const std::string& Bytes() const { return bytes_; }
  int CodePage() const { return code_page_; }
  void SetBytes(std::string bytes, int code_page);
  void SetCodePage(int code_page);
  void ClearBytes();

  // The text shown, its lines joined with LF.
  QString Text() const;
  int LineCount() const { return static_cast<int>(lines_.size()); }
  QString Line(int index) const;
  // The first line in view.
  int TopLine() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct LineSpan {
    qsizetype start;
    qsizetype length;
  };

  static constexpr int kMargin = 4;

  void Show();
  void UpdateScrollBars();
  int LineHeight() const;

  std::string bytes_;
  int code_page_ = 950;
  QString text_;
  std::vector<LineSpan> lines_;
  qsizetype widest_columns_ = 0;  // the widest line, a double-byte character counting 2
};

// A panel that sends Clicked for a click on its own background, not on one
// of its controls.
class ClickPanel : public QFrame {
  Q_OBJECT

 public:
  using QFrame::QFrame;

 signals:
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

// `object`, given its layout name as its object name: the name by which
// the commands know it and tests find it.
template <typename T>
T* Named(T* object, const char* name) {
  object->setObjectName(name);
  return object;
}

// The 16 x 16 file-type image of the file list: 0 any file, 2 .dpr,
// 3 .dpk, 4 .pas, 5 .dfm, 6 .bpl, 7 .dll, 8 .txt, 9 .exe; 1 belongs to no
// file type.  Drawn anew on every call: keep the ones you show.
QIcon FileTypeIcon(int index);
inline constexpr int kFileTypeIconCount = 10;

}  // namespace bgconv
