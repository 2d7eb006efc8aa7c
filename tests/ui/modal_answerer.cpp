#include "ui/modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

namespace bgconv::testing {

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
  if (dialog == nullptr || !dialog->isVisible() || dialog == answering_) return;
  // A handler may run a nested dialog of its own; this one stays its.
  QPointer<QDialog> guard(dialog);
  QDialog* previous = answering_;
  answering_ = dialog;
  if (handlers_.empty()) {
    unexpected_ << DescribeMessageBox(*dialog);
    dialog->reject();
  } else {
    Handler handler = std::move(handlers_.front());
    handlers_.pop_front();
    handler(*dialog);
  }
  answering_ = previous;
}

QString DescribeMessageBox(const QDialog& dialog) {
  if (const auto* box = qobject_cast<const QMessageBox*>(&dialog))
    return QString("message box \"%1\": %2").arg(box->windowTitle(), box->text());
  return QString("%1 \"%2\"").arg(dialog.metaObject()->className(), dialog.windowTitle());
}

}  // namespace bgconv::testing
