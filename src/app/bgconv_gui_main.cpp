// bgconv-gui: the window.
#include <QApplication>
#include <exception>

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

}  // namespace

int main(int argc, char** argv) {
  Application application(argc, argv);
  QApplication::setApplicationName("bgconv");
  bgconv::TConvertFrm window(bgconv::ProgramWindowEnvironment());
  window.show();
  return QApplication::exec();
}
