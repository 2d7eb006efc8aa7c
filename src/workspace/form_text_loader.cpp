#include "workspace/form_text_loader.h"

#include <string_view>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "workspace/line_form.h"

namespace bgconv {
namespace {

enum class StreamForm { kUnknown, kBinary, kText };

// A binary form starts with its resource header (0xFF) or the object
// stream's signature; a text form with blank space or the first letter of
// "object" / "inherited" / "inline".
StreamForm DetectStreamForm(std::string_view bytes) {
  std::string head(bytes.substr(0, 4));
  head.resize(4, '\0');
  if (static_cast<unsigned char>(head[0]) == 0xFF || head == "TPF0") return StreamForm::kBinary;
  switch (head[0]) {
    case '\t':
    case '\v':
    case '\r':
    case ' ':
    case 'I':
    case 'O':
    case 'i':
    case 'o':
      return StreamForm::kText;
    default:
      return StreamForm::kUnknown;
  }
}

}  // namespace

std::string LoadTextFormFile(const std::string& path, [[maybe_unused]] int ansi_code_page) {
  std::string bytes = ReadWholeFile(path);
  switch (DetectStreamForm(bytes)) {
    case StreamForm::kBinary:
      throw Exception(path + ": a form file in binary form, which this build cannot read yet");
    case StreamForm::kUnknown:
      throw Exception(path + ": Invalid stream format");
    case StreamForm::kText:
      break;
  }
  if (IsInLineListForm(bytes)) return bytes;
  return NormalizeLineBreaks(bytes);
}

}  // namespace bgconv
