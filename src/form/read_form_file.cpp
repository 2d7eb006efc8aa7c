#include "form/read_form_file.h"

#include <exception>

#include "form/decode_form_file.h"
#include "form/wide_string_fold.h"
#include "platform/errors.h"

namespace bgconv {
namespace {

// The folded form text, or none; the failure has then been sent to `debug`
// and its message stands in `failure`.
std::optional<std::string> ReadFormText(const std::string& path, const AnsiCodePage& code_page, DebugChannel& debug,
                                        std::string& failure) {
  try {
    return FoldWideStringsToText(DecodeFormFile(path), code_page);
  } catch (const std::exception& error) {
    failure = FailureText(error);
  }
  debug.Send(failure + "  " + path);
  return std::nullopt;
}

}  // namespace

std::optional<LineList> ReadFormFile(const std::string& path, const AnsiCodePage& code_page, DebugChannel& debug) {
  std::string ignored;
  auto text = ReadFormText(path, code_page, debug, ignored);
  if (!text) return std::nullopt;
  LineList lines;
  lines.SetText(*text);
  return lines;
}

std::string LoadFormText(const std::string& path, const AnsiCodePage& code_page, DebugChannel& debug) {
  std::string failure;
  auto text = ReadFormText(path, code_page, debug, failure);
  if (!text) throw EFormFileError(path, failure);
  return std::move(*text);
}

}  // namespace bgconv
