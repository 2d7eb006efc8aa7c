#pragma once
// What a row's file holds, as the run judges it before converting: a plain
// file by its bytes, a form file by its form text.

#include <string>

namespace bgconv {

// The class name of the file at `path` ("Big5", "GB2312", "UTF-8", …, see
// TextClassName); "missing" when there is no file, "not a file" for a
// folder, a pipe or a device, "unreadable" when it cannot be read or a form
// cannot be decoded.
std::string FileClassName(const std::string& path);

}  // namespace bgconv
