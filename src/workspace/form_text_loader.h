#pragma once
// How the conversion run reads a form file: as form text, its wide-string
// literals folded into the ANSI code page.  The run holds the loader as a
// function object among its inputs, so that a caller can read forms its own
// way (the window, for one, may route the debug texts to its log).

#include <functional>
#include <string>
#include <string_view>

namespace bgconv {

// The form text of the form file at `path` (binary or text stream form), with
// wide-string literals folded into `ansi_code_page` (950 or 936) and lines
// joined with CR LF.  Fails with an Exception whose message names the file
// and the reason.
// Whether the file at `path` is a form file (.dfm, in any letter case): the
// run reads it as form text.
bool IsFormFile(std::string_view path);

using FormTextLoader = std::function<std::string(const std::string& path, int ansi_code_page)>;

// The form subsystem's LoadFormText in the given code page.  Its debug text
// for a form that cannot be decoded is dropped: the run reports the same
// failure itself, naming the file.
std::string LoadFoldedFormText(const std::string& path, int ansi_code_page);

}  // namespace bgconv
