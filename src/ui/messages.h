#pragma once
// The message boxes of the window, all captioned with the application's
// title.  While the progress window is shown the other windows are disabled,
// and a box owned by one of them would take no input: the boxes then belong
// to the progress window.

#include <QString>
#include <exception>

class QWidget;

namespace bgconv {

// The product's name: the window's caption and the boxes' caption.
QString ApplicationTitle();

// `message` with a final period, unless it ends in one already.
QString MessageWithPeriod(const QString& message);

// The failure of a command: stop icon, the message with a final period.
void ShowErrorMessage(QWidget* owner, const QString& message);
// The message of `error`, decoded from the file system's bytes (it names
// files by their paths).
void ShowErrorMessage(QWidget* owner, const std::exception& error);

// A plain message ("File not found").
void ShowMessage(QWidget* owner, const QString& message);

// A question with the warning icon and the buttons Yes and No; true for Yes.
bool AskYesNo(QWidget* owner, const QString& question);

// Runs `command`; a failure that leaves it is shown by ShowErrorMessage, and
// the window stays usable.  Returns whether the command ended normally.
template <typename Command>
bool RunGuarded(QWidget* owner, Command&& command) {
  try {
    command();
    return true;
  } catch (const std::exception& error) {
    ShowErrorMessage(owner, error);
  }
  return false;
}

}  // namespace bgconv
