#pragma once
// The external engine's part of a conversion run.  Each row's text is handed
// over as a copy in the work folder, under a name of its own (Unit1.pas,
// Unit1~2.pas, ...); one converter pass converts them all; a copy goes back
// over its row only when the converter reported success and really
// converted it.  The files at the rows' paths stay as they are until then,
// so a run that fails before or during the pass loses nothing.

#include <chrono>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/choices.h"
#include "external/external_engine.h"
#include "platform/folder_lock.h"

namespace bgconv {

struct ExternalPassSettings {
  std::string program_folder;  // whose ConCmd/ConCmd runs; the program's own when empty
  Direction direction = Direction::kBigToGb;
  std::string engine_parameter;
  std::string work_folder;  // checked, absolute, ending in a separator
  std::optional<std::chrono::seconds> timeout;
};

class ExternalPass {
 public:
  // `locks` holds the run's folders, the work folder among them.
  ExternalPass(ExternalPassSettings settings, FolderLocks& locks);
  // Removes the copies still in the work folder and empties a work folder
  // this program made: a copy left there would go back over a project at
  // the next pass.
  ~ExternalPass();
  ExternalPass(const ExternalPass&) = delete;
  ExternalPass& operator=(const ExternalPass&) = delete;

  // Writes `text` (a form's text with its charset identifiers rewritten
  // already) into the work folder as the copy of the file at `path`.
  void HandOver(const std::string& path, std::string_view text);

  struct Outcome {
    std::size_t converted = 0;
    std::vector<std::string> not_converted;  // paths; each logged with the reason, its file as it was
  };
  // The converter over the work folder and the copies back.  Fails with the
  // converter's failure (it cannot start, it ran past the timeout).
  Outcome Run(ExternalPassReporter& reporter);

 private:
  // What was written into the work folder for a row, to tell a converted
  // copy from one the converter left as it was.
  struct HandedOver {
    std::size_t hash;
    std::size_t size;
    bool has_double_bytes;
  };

  bool Accept(std::size_t row, std::string_view converted, int exit_code) const;
  std::string UniqueWorkName(const std::string& name);
  void RemoveCopies();

  ExternalPassSettings settings_;
  FolderLocks& locks_;
  std::vector<ExternalPassRow> rows_;
  std::vector<HandedOver> handed_over_;
  std::set<std::string> work_names_;
};

}  // namespace bgconv
