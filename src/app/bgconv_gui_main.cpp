// bgconv-gui: the window.
#include <QApplication>
#include <cstring>
#include <exception>
#include <iostream>

#include "ui/main_window.h"
#include "ui/messages.h"

namespace {

// The default handler: a failure that leaves an event is shown in a message
// box, and the window stays usable.  The commands catch their own failures;
// this one is for anything that slips past them.
class Application : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      bgconv::ShowErrorMessage(activeWindow(), error);
    }
    return false;
  }
};

constexpr const char* kUsage =
    "Usage: bgconv-gui [--help] [--version]\n"
    "Opens the window of bgconv: choose a Delphi project, the direction (Big5 to\n"
    "GB2312 or GB2312 to Big5) and the options, preview and convert its files.\n"
    "Settings, work and backup folders live under the user's XDG folders.\n";

// --help and --version answer without a display.
bool AnswersInfoOption(int argc, char** argv) {
  if (argc != 2) return false;
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::cout << kUsage;
    return true;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::cout << "bgconv-gui " BGCONV_VERSION "\n";
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswersInfoOption(argc, argv)) return 0;
  Application application(argc, argv);
  QApplication::setApplicationName("bgconv");
  bgconv::TConvertFrm window(bgconv::ProgramWindowEnvironment());
  window.show();
  return QApplication::exec();
}
