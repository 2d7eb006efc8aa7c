#include "ui/messages.h"

#include <QMessageBox>

#include "ui/progress_form.h"
#include "ui/qt_text.h"

namespace bgconv {
namespace {

QWidget* BoxOwner(QWidget* owner) {
  if (QWidget* progress = CurrentProgressForm()) return progress;
  return owner != nullptr && owner->isEnabled() ? owner : nullptr;
}

}  // namespace

QString ApplicationTitle() { return QStringLiteral("bgconv"); }

QString MessageWithPeriod(const QString& message) { return message.endsWith(u'.') ? message : message + u'.'; }

void ShowErrorMessage(QWidget* owner, const QString& message) {
  QMessageBox::critical(BoxOwner(owner), ApplicationTitle(), MessageWithPeriod(message));
}

void ShowErrorMessage(QWidget* owner, const std::exception& error) { ShowErrorMessage(owner, PathToQt(error.what())); }

void ShowMessage(QWidget* owner, const QString& message) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), message, QMessageBox::Ok, BoxOwner(owner));
  box.exec();
}

bool AskYesNo(QWidget* owner, const QString& question) {
  return QMessageBox::warning(BoxOwner(owner), ApplicationTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace bgconv
