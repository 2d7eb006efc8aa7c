#pragma once
// The progress window: a small borderless window with a title, a status line
// and a bar, shown while a long operation runs on the window's thread.  While
// it is shown every other window of the application is disabled, so no
// second command can start; the update calls process pending events, which
// is what keeps the application painted meanwhile.
//
// There is at most one progress window.  The four functions may be called
// at any time: the last three do nothing while none is shown.

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;

namespace bgconv {

class TProgressForm : public QWidget {
  Q_OBJECT

 public:
  TProgressForm();

  QFrame* SpeedButton1;  // the raised panel behind the rest
  QLabel* lblTitle;
  QLabel* Label1;  // the status line
  QProgressBar* ProgressBar;
};

// Shows the progress window with `title` and disables every other enabled
// window of the application.  `owner` (the main window) takes the progress
// window with it when it goes.  A second call while the window is shown
// raises it and disables the windows enabled since; the next HideProgress
// enables the windows of both calls.
void ShowProgress(const QString& title, QWidget* owner = nullptr);

// The bar at `percent` (held within 0 to 100), the status line
// "W.....   <percent>%" with the number as given.
void UpdateProgress(int percent);

void UpdateProgressTitle(const QString& title);

// Enables the windows ShowProgress disabled, the last disabled first, and
// destroys the progress window.  A window that went meanwhile is skipped; one
// that was disabled before ShowProgress stays disabled.
void HideProgress();

// The progress window while one is shown, else null.
TProgressForm* CurrentProgressForm();

}  // namespace bgconv
