// Any bytes as a form file: decoding ends in text or in one of the decoder's
// read errors, never in a crash, a hang or another exception.  Decoded text
// goes on through the fold, as ReadFormFile takes it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "form/decode_form_file.h"
#include "form/wide_string_fold.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bgconv::AnsiCodePage code_page(bgconv::kCodePageGb2312);
  std::string text;
  try {
    text = bgconv::DecodeFormBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const bgconv::EReadError&) {
    return 0;
  }
  try {
    bgconv::FoldWideStrings(text, code_page);
  } catch (const bgconv::EParserError&) {
  }
  return 0;
}
