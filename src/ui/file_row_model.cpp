#include "ui/file_row_model.h"

#include "ui/controls.h"
#include "ui/qt_text.h"

namespace bgconv {

FileRowModel::FileRowModel(const Workspace& workspace, QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace) {
  for (int i = 0; i < kFileTypeIconCount; ++i) icons_.push_back(FileTypeIcon(i));
}

void FileRowModel::Reset() {
  beginResetModel();
  endResetModel();
}

int FileRowModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(workspace_.Rows().size());
}

int FileRowModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant FileRowModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FileRow& row = workspace_.Rows()[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) {
    switch (index.column()) {
      case kFile:
        return PathToQt(row.caption);
      case kSize:
        return QString::fromStdString(row.size);
      case kCode:
        return QString::fromStdString(row.code);
      case kPath:
        return PathToQt(row.path);
      default:
        return {};
    }
  }
  if (role == Qt::DecorationRole && index.column() == kFile)
    return icons_[static_cast<std::size_t>(row.icon >= 0 && row.icon < kFileTypeIconCount ? row.icon : 0)];
  return {};
}

QVariant FileRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static const char* const kCaptions[kColumnCount] = {"File", "Size", "Code", "Path"};
  return section >= 0 && section < kColumnCount ? QString(kCaptions[section]) : QVariant();
}

}  // namespace bgconv
