// window_screenshots OUT_DIR PROGRAM_DIR PROJECT_FILE
//
// Opens the window as if installed in PROGRAM_DIR (its settings there, code
// direction "BIG->GB"), opens PROJECT_FILE, previews its first form and
// writes source-view.png; converts the project and writes log-view.png;
// shows the "Advanced Option" page (advanced-option.png) and the "ConCmd
// Setup" dialog (concmd-setup.png).  The project is converted in place:
// hand it a copy.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "settings/settings.h"
#include "ui/file_row_model.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/widget.h"

namespace {

using bgconv::test_support::Widget;

void Click(const QObject& window, const char* button) { Widget<QAbstractButton>(window, button).click(); }

bool Save(QWidget& widget, const QString& path) {
  QApplication::processEvents();
  const bool saved = widget.grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: window_screenshots OUT_DIR PROGRAM_DIR PROJECT_FILE\n");
    return 2;
  }
  const QString out = QDir(argv[1]).absolutePath() + "/";
  const std::string program = QDir(argv[2]).absolutePath().toStdString() + "/";
  bgconv::WindowEnvironment environment{{program, bgconv::DesignFonts(), '/'}, program + "bgconv.ini"};
  {
    FILE* settings = std::fopen(environment.settings_path.c_str(), "wb");
    if (settings == nullptr) return 1;
    std::fputs("[cpOption]\r\nDefLan=0\r\n", settings);
    std::fclose(settings);
  }

  bgconv::TConvertFrm window(environment);
  window.show();
  window.FileOpen1Accept(QString::fromLocal8Bit(argv[3]));
  auto& list = Widget<QTreeView>(window, "LVFileList");
  const QAbstractItemModel* model = list.model();
  for (int row = 0; row < model->rowCount(); ++row) {
    if (!model->index(row, 0).data().toString().endsWith(".dfm", Qt::CaseInsensitive)) continue;
    list.selectionModel()->select(model->index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit list.clicked(model->index(row, 0));  // as a click on the row
    break;
  }
  bool ok = Save(window, out + "source-view.png");

  Click(window, "BitBtn1");
  Click(window, "CheckBox2");
  ok = Save(window, out + "log-view.png") && ok;
  Click(window, "CheckBox2");

  Click(window, "BitBtn8");
  ok = Save(window, out + "advanced-option.png") && ok;

  QTimer::singleShot(300, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ok = Save(*dialog, out + "concmd-setup.png") && ok;
      dialog->reject();
    } else {
      ok = false;
    }
  });
  Click(window, "Button1");
  window.close();
  return ok ? 0 : 1;
}
