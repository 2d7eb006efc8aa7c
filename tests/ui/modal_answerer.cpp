#include "ui/modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>

namespace bgconv::test_support {

ModalAnswerer::ModalAnswerer() {
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start();
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::Expect(Handler handler) { handlers_.push_back(std::move(handler)); }

void ModalAnswerer::ExpectMessageBox(int button) {
  Expect([this, button](QDialog& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box == nullptr) {
      unexpected_ << "expected a message box, got " + DescribeMessageBox(dialog);
      dialog.reject();
      return;
    }
    texts_ << box->text();
    QAbstractButton* target = box->button(static_cast<QMessageBox::StandardButton>(button));
    if (target == nullptr) {
      unexpected_ << "message box without the expected button: " + box->text();
      box->done(0);
      return;
    }
    target->click();
  });
}

void ModalAnswerer::Poll() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr || !dialog->isVisible() || answering_.contains(dialog)) return;
  answering_.insert(dialog);
  // Answered from an event of its own, not from the timer: a handler that
  // opens a nested dialog needs the timer to fire again meanwhile.
  QMetaObject::invokeMethod(
      this,
      [this, dialog = QPointer<QDialog>(dialog)] {
        if (dialog.isNull()) return;
        if (handlers_.empty()) {
          unexpected_ << DescribeMessageBox(*dialog);
          dialog->reject();
        } else {
          Handler handler = std::move(handlers_.front());
          handlers_.pop_front();
          handler(*dialog);
        }
        answering_.remove(dialog.data());
      },
      Qt::QueuedConnection);
}

void ChooseFile(QDialog& file_dialog, const QString& path) {
  auto& dialog = dynamic_cast<QFileDialog&>(file_dialog);
  const QFileInfo file(path);
  dialog.setDirectory(file.absolutePath());
  auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
  if (name != nullptr) name->setText(file.fileName());
  file_dialog.accept();
}

QString DescribeMessageBox(const QDialog& dialog) {
  if (const auto* box = qobject_cast<const QMessageBox*>(&dialog))
    return QString("message box \"%1\": %2").arg(box->windowTitle(), box->text());
  return QString("%1 \"%2\"").arg(dialog.metaObject()->className(), dialog.windowTitle());
}

}  // namespace bgconv::test_support
