#pragma once
// How the conversion run reads a form file: as form text, its wide-string
// literals folded into the ANSI code page.  The run holds the loader as a
// function object among its inputs, so the form subsystem's reader plugs in
// here.

#include <functional>
#include <string>

namespace bgconv {

// The form text of the form file at `path` (binary or text stream form), with
// wide-string literals folded into `ansi_code_page` (950 or 936) and lines
// joined with CR LF.  Fails with an Exception whose message names the file
// and the reason.
using FormTextLoader = std::function<std::string(const std::string& path, int ansi_code_page)>;

// The loader the run uses until form decoding is built in: a text form file
// already is form text and comes back as the line list makes it (its
// wide-string literals stay as they are); a binary form file fails with a message saying
// so, and a file of neither form fails with "Invalid stream format".
std::string LoadTextFormFile(const std::string& path, int ansi_code_page);

}  // namespace bgconv
