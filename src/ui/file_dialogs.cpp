#include "ui/file_dialogs.h"

#include <QFileDialog>
#include <QLineEdit>

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

void BrowseForConCmd(QWidget* owner, QLineEdit& path_field, const std::string& exe_folder) {
  const std::string current = PathFromQt(path_field.text());
  const std::string start =
      !FolderOf(current).empty() && PathExists(current) ? FolderOf(current) : ConverterFolderOf(exe_folder);
  QFileDialog dialog(owner, QString(), PathToQt(start));
  dialog.setObjectName("OpenDialog");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters("ConCmd|ConCmd|Exe File(*.exe)|*.exe|All File (*.*)|*.*"));
  dialog.selectFile("ConCmd");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString chosen = dialog.selectedFiles().front();
  if (PathExists(PathFromQt(chosen))) path_field.setText(chosen);
}

}  // namespace bgconv

namespace bgconv {

QStringList NameFilters(std::string_view filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    QStringList patterns;
    for (const QString& mask : parts[i + 1].split(u';', Qt::SkipEmptyParts))
      patterns << (mask.trimmed() == "*.*" ? QString("*") : mask.trimmed());
    const QString list = "(" + patterns.join(u' ') + ")";
    const qsizetype open = description.lastIndexOf(u'(');
    if (description.endsWith(u')') && open >= 0) {
      description = description.left(open) + list;
    } else {
      description += " " + list;
    }
    filters << description;
  }
  return filters;
}

}  // namespace bgconv
