#pragma once
// The folder picker behind the "...." button of the backup path.

#include <QString>
#include <string>

class QWidget;

namespace bgconv {

// Opens the folder picker owned by `owner`, with `caption` above it, on
// `start_folder`.  True when a folder was chosen: `folder` then holds it with
// a trailing separator.  False on cancel, `folder` then is empty.
bool BrowseForFolder(QWidget* owner, const QString& caption, const QString& start_folder, std::string& folder);

}  // namespace bgconv
