#include "workspace/form_text_loader.h"

#include "form/read_form_file.h"
#include "platform/ansi_codepage.h"
#include "platform/debug_channel.h"
#include "platform/paths.h"

namespace bgconv {
namespace {

class DroppingDebugChannel final : public DebugChannel {
 public:
  void Send(std::string_view) override {}
};

}  // namespace

bool IsFormFile(std::string_view path) { return UpperExtensionOf(path) == ".DFM"; }

std::string LoadFoldedFormText(const std::string& path, int ansi_code_page) {
  const AnsiCodePage code_page(ansi_code_page);
  DroppingDebugChannel debug;
  return LoadFormText(path, code_page, debug);
}

}  // namespace bgconv
