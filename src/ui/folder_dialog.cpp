#include "ui/folder_dialog.h"

#include <QFileDialog>

#include "platform/paths.h"
#include "ui/qt_text.h"

namespace bgconv {

bool BrowseForFolder(QWidget* owner, const QString& caption, const QString& start_folder, std::string& folder) {
  folder.clear();
  QFileDialog dialog(owner, caption, start_folder);
  dialog.setObjectName("BrowseForFolder");
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
  folder = PathFromQt(chosen.front());
  if (folder.back() != kPathSeparator) folder += kPathSeparator;
  return true;
}

}  // namespace bgconv
