#pragma once
// Answers the modal dialogs a test provokes.  Each expected dialog gets a
// handler, taken in order as the dialogs come up; a dialog nobody expected is
// closed and recorded, so that a test never hangs on a box left open.

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class QDialog;

namespace bgconv::test_support {

class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(QDialog& dialog)>;

  ModalAnswerer();
  ~ModalAnswerer() override;

  // The next modal dialog goes to `handler`.
  void Expect(Handler handler);
  // The next modal dialog must be a message box: its text is recorded in
  // Texts() and `button` (a QMessageBox::StandardButton) is pressed.
  void ExpectMessageBox(int button = 0x00000400 /* Ok */);

  // Texts of the message boxes answered, in order.
  const QStringList& Texts() const { return texts_; }
  // Descriptions of dialogs that came up without a handler.
  const QStringList& Unexpected() const { return unexpected_; }
  // Handlers still waiting for their dialog.
  std::size_t Pending() const { return handlers_.size(); }

 private:
  void Poll();

  QTimer timer_;
  std::deque<Handler> handlers_;
  QSet<QDialog*> answering_;  // dialogs whose handler has not returned yet
  QStringList texts_;
  QStringList unexpected_;
};

// Types `path` into the file dialog, as a user would, and accepts it.
void ChooseFile(QDialog& file_dialog, const QString& path);

// The text, title and icon of the message box, for the record.
QString DescribeMessageBox(const QDialog& dialog);

}  // namespace bgconv::test_support
