#pragma once
// The window's file and folder dialogs.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

class QLineEdit;
class QWidget;

namespace bgconv {

// Opens the folder picker owned by `owner`, with `caption` above it, on
// `start_folder`.  True when a folder was chosen: `folder` then holds it with
// a trailing separator.  False on cancel, `folder` then is empty.
bool BrowseForFolder(QWidget* owner, const QString& caption, const QString& start_folder, std::string& folder);

// The file dialog that looks for the external converter for `path_field`,
// owned by `owner` and opened on the folder of the field's path when that
// names a file, else on the converter's folder beside the program in
// `exe_folder`.  Its first filter shows the converter this
// platform builds (ConCmd, no extension) and preselects that name, so Enter
// picks it; "Exe File(*.exe)" and "All File (*.*)" follow for Windows-style
// setups.  A chosen file that exists goes into the field; on cancel the
// field keeps its text.
void BrowseForConCmd(QWidget* owner, QLineEdit& path_field, const std::string& exe_folder);

// A filter written as pairs "description|masks|description|masks" (masks
// separated by ";") as Qt's name filters, "description (patterns)".  The
// masks are Windows masks: "*.*" names every file, so it becomes "*".  A
// description that ends in a parenthesised list of masks has that list
// replaced by the patterns that really apply.
QStringList NameFilters(std::string_view filter);

}  // namespace bgconv
