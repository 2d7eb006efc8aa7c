#pragma once
// A form file as form text with its wide-string literals folded: what the
// conversion run and the preview read for every ".dfm" file.

#include <optional>
#include <string>

#include "platform/ansi_codepage.h"
#include "platform/debug_channel.h"
#include "platform/line_list.h"

namespace bgconv {

// The form text of the file at `path`, folded in `code_page`, as a new line
// list; none when the file cannot be opened, decoded or tokenized.  The
// failure is then sent to `debug` as one text: its message, two blanks and
// the path as given.
std::optional<LineList> ReadFormFile(const std::string& path, const AnsiCodePage& code_page, DebugChannel& debug);

// The joined text of ReadFormFile's line list (CR LF after every line).
// Where ReadFormFile gives none, fails with EFormFileError "<path>: <message>".
std::string LoadFormText(const std::string& path, const AnsiCodePage& code_page, DebugChannel& debug);

}  // namespace bgconv
