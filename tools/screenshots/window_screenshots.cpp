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

namespace {

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
  const QAbstractItemModel* model = window.LVFileList->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    if (!model->index(row, 0).data().toString().endsWith(".dfm", Qt::CaseInsensitive)) continue;
    window.LVFileList->selectionModel()->select(model->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window.LVFileListClick();
    break;
  }
  bool ok = Save(window, out + "source-view.png");

  window.BitBtn1->click();
  window.CheckBox2->click();
  ok = Save(window, out + "log-view.png") && ok;
  window.CheckBox2->click();

  window.BitBtn8->click();
  ok = Save(window, out + "advanced-option.png") && ok;

  QTimer::singleShot(300, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ok = Save(*dialog, out + "concmd-setup.png") && ok;
      dialog->reject();
    } else {
      ok = false;
    }
  });
  window.Button1->click();
  window.close();
  return ok ? 0 : 1;
}
