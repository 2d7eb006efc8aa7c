#pragma once
// The file rows of the workspace as the list view's model: the columns
// "File", "Size", "Code", "Path" and the file-type icon.  The model only
// shows the rows; the workspace decides them, and the window resets the
// model after every change.

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

#include "workspace/workspace.h"

namespace bgconv {

class FileRowModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kFile = 0, kSize = 1, kCode = 2, kPath = 3, kColumnCount = 4 };

  explicit FileRowModel(const Workspace& workspace, QObject* parent = nullptr);

  // The workspace's rows changed.
  void Reset();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  const Workspace& workspace_;
  std::vector<QIcon> icons_;  // ILFileType
};

}  // namespace bgconv
