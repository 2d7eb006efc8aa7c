#include "workspace/file_class.h"

#include "codec/text_class.h"
#include "form/decode_form_file.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/file_status.h"
#include "workspace/form_text_loader.h"

namespace bgconv {

std::string FileClassName(const std::string& path) {
  switch (KindOf(path)) {
    case FileKind::kMissing:
      return "missing";
    case FileKind::kFolder:
    case FileKind::kOther:
      return "not a file";  // reading a pipe could wait forever
    case FileKind::kRegular:
    case FileKind::kHidden:
      break;
  }
  try {
    return std::string(
        TextClassName(ClassifyText(IsFormFile(path) ? DecodeFormFile(path) : ReadWholeFile(path)).text_class));
  } catch (const Exception&) {
    return "unreadable";
  }
}

}  // namespace bgconv
