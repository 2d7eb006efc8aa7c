#include "ui/progress_form.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <algorithm>
#include <mutex>
#include <vector>

#include "settings/settings.h"
#include "ui/qt_text.h"

namespace bgconv {
namespace {

TProgressForm* current_form = nullptr;

// The windows ShowProgress disabled, in the order it disabled them.  Pointers
// that clear themselves, so a window that goes meanwhile is skipped.
std::mutex disabled_mutex;
std::vector<QPointer<QWidget>> disabled_windows;

// The application's forms: main windows, dialogs and tool windows, shown or
// not; menus, tool tips and the like are not windows of their own here.
bool IsForm(const QWidget& widget) {
  switch (widget.windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Drawer:
    case Qt::Tool:
      return true;
    default:
      return false;
  }
}

void DisableOtherWindows(const QWidget* progress) {
  const std::lock_guard lock(disabled_mutex);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == progress || !IsForm(*window) || !window->isEnabled()) continue;
    disabled_windows.emplace_back(window);
    window->setEnabled(false);
  }
}

void EnableDisabledWindows() {
  const std::lock_guard lock(disabled_mutex);
  for (auto window = disabled_windows.rbegin(); window != disabled_windows.rend(); ++window) {
    if (!window->isNull()) (*window)->setEnabled(true);
  }
  disabled_windows.clear();
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

void RepaintAndProcessEvents(QWidget& window) {
  window.repaint();
  QCoreApplication::processEvents();
}

}  // namespace

TProgressForm::TProgressForm() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("ProgressForm");
  setWindowTitle(QString::fromUtf8("進度顯示"));
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  setFixedSize(ScaledPixels(347), ScaledPixels(95));
  ApplyFont(*this, DesignFont());
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  SpeedButton1 = new QFrame(this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  SpeedButton1->setEnabled(false);
  SpeedButton1->setGeometry(0, 0, width(), height());

  lblTitle = new QLabel("lblTitle", this);
  lblTitle->setObjectName("lblTitle");
  lblTitle->move(ScaledPixels(9), ScaledPixels(9));

  Label1 = new QLabel(QString::fromUtf8("請稍候..."), this);
  Label1->setObjectName("Label1");
  Label1->move(ScaledPixels(9), ScaledPixels(32));

  for (QLabel* label : {lblTitle, Label1}) label->resize(width() - 2 * ScaledPixels(9), label->sizeHint().height());

  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setGeometry(ScaledPixels(9), ScaledPixels(56), ScaledPixels(328), ScaledPixels(27));
  ProgressBar->setRange(0, 100);
  ProgressBar->setValue(0);
  ProgressBar->setTextVisible(false);
}

void ShowProgress(const QString& title, QWidget* owner) {
  if (current_form == nullptr) {
    // Not a child of `owner`: a disabled parent would disable it too.
    current_form = new TProgressForm;
    if (owner != nullptr) {
      QObject::connect(owner, &QObject::destroyed, current_form, [] {
        EnableDisabledWindows();
        delete current_form;
        current_form = nullptr;
      });
    }
  } else {
    current_form->raise();
  }
  current_form->lblTitle->setText(title);
  current_form->show();
  CentreOnScreen(*current_form);
  DisableOtherWindows(current_form);
  current_form->repaint();
}

void UpdateProgress(int percent) {
  if (current_form == nullptr) return;
  current_form->ProgressBar->setValue(std::clamp(percent, 0, 100));
  current_form->Label1->setText(QString::asprintf("W.....   %d%%", percent));
  RepaintAndProcessEvents(*current_form);
}

void UpdateProgressTitle(const QString& title) {
  if (current_form == nullptr) return;
  current_form->lblTitle->setText(title);
  RepaintAndProcessEvents(*current_form);
}

void HideProgress() {
  if (current_form == nullptr) return;
  EnableDisabledWindows();
  current_form->hide();
  QCoreApplication::processEvents();
  // Events processed above may have ended the window's owner, and the window
  // with it.
  delete current_form;
  current_form = nullptr;
}

TProgressForm* CurrentProgressForm() { return current_form; }

}  // namespace bgconv
