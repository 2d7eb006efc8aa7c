#pragma once
// The conversion run: the one command that changes the user's files.  It
// takes the file rows in list order and rewrites each file in place in the
// chosen code direction, optionally after copying the files into a backup
// folder and keeping each original under a suffixed name.  It takes all its
// inputs in one plain value and reports through one observer, so the window
// and the command line drive the same code.
//
// Every file is replaced atomically (a complete temporary file renamed over
// it): at every instant it holds either its original bytes or its complete
// conversion, also when the process is killed.  The first failure ends the
// run: rows done stay converted, the rows after it stay untouched, and the
// end steps still run before the failure reaches the caller.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/converter.h"
#include "common/choices.h"
#include "external/external_engine.h"
#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "workspace/form_text_loader.h"
#include "workspace/workspace.h"

namespace bgconv {

inline constexpr std::string_view kConvertTitle = "Convert Code Page";
inline constexpr std::string_view kBeginLog = "Begin Convert Code";
inline constexpr std::string_view kConvertLogPrefix = "Convert  ";
inline constexpr std::string_view kEndLog = "End Convert Code";
inline constexpr std::string_view kNotSupported = "not support";

// The suffix that names the code page of a kept original: ".Big" for
// "BIG->GB" (and Big5 to UTF-8), ".GB" for "GB->BIG " (and GB2312 to UTF-8).
std::string_view OriginalSuffix(Direction direction);

struct ConversionInputs {
  std::vector<FileRow> rows;
  // The project file the rows come from; empty when they were given one by
  // one.  Backup copies keep the rows' places below its folder.
  std::string project_path;
  Direction direction = Direction::kBigToGb;
  // Set: every file goes to UTF-8 from the source code page of `direction`
  // instead (with the built-in decoder, whatever `engine` says); plain files
  // as UTF-8, forms as form text in ASCII.  Charset identifiers then stay,
  // or with `change_default_charset` become DEFAULT_CHARSET.
  std::optional<Utf8Target> utf8;
  Engine engine = Engine::kItSelf;
  OverwriteMode overwrite = OverwriteMode::kOverwrite;
  bool backup = false;
  BackupMode backup_mode = BackupMode::kCopyToFolder;
  std::string backup_path;              // a folder ending in a separator, used as a prefix
  bool change_default_charset = false;  // "Chager Default Charset"
  // The ANSI code page form captions are folded into; 0 takes the source
  // code page of the direction.
  int ansi_code_page = 0;
  std::string work_folder;  // the external engine's, ending in a separator
  // The external engine: the folder whose ConCmd/ConCmd runs (the program's
  // own when empty) and the text appended to its switches.
  std::string program_folder;
  std::string engine_parameter;
  // The external converter is ended after this long and every file keeps
  // its original; none: it may take as long as it takes.
  std::optional<std::chrono::seconds> timeout;
  // Convert every file, also one that is not in the source code page
  // (already converted, UTF-8, mixed), and UTF-8 lines among the source
  // code page's; by default such files and lines are left as they are.
  bool force = false;
  FormTextLoader load_form_text = LoadFoldedFormText;
  WriteOptions write_options;  // durable: one fsync per written file
};

// What the run shows while it works: the progress window, the log list and
// message boxes, and when it starts and ends (the window shows its log
// meanwhile).  The external engine's pass reports through it too.
class ConversionObserver : public ExternalPassReporter {
 public:
  virtual void ShowProgress(std::string_view title) = 0;
  virtual void UpdateProgress(int percent) = 0;
  virtual void UpdateProgressTitle(std::string_view title) = 0;
  virtual void HideProgress() = 0;
  // Before the first row, and after the last (also after a failure).
  virtual void RunStarted() {}
  virtual void RunEnded() {}
  // The external converter redrew its last output row: replace the last log
  // row.  By default the row is logged once more.
  void ReplaceLastLog(std::string_view line) override { Log(line); }
  // Selects the last log row (the converter's "%s returned %d").
  void SelectLastLog() override {}
};

// A file the run left as it was, and why ("already GB2312", …).
struct SkippedFile {
  std::string path;
  std::string reason;
};

// What became of the rows of a run that ended normally.
struct ConversionSummary {
  std::size_t converted = 0;
  std::size_t repeated = 0;                 // rows naming a file converted before in the run
  std::vector<std::string> missing_paths;   // rows whose file was not there
  std::vector<std::string> not_text_paths;  // rows left as they were: not text (a NUL byte)
  // Rows left as they were: their text is not in the source code page.
  std::vector<SkippedFile> not_source_files;
  // External engine: rows whose converted copy did not come back; their
  // files are as they were before the run.
  std::vector<std::string> not_converted_paths;

  // The files the run did not convert (repeated rows aside).
  std::size_t LeftOut() const {
    return missing_paths.size() + not_text_paths.size() + not_source_files.size() + not_converted_paths.size();
  }
};

// The message that ends a run that left files out ("Converted 3 files, left
// 2 files as they were (see the log)"); empty when none was left out.
std::string RunEndMessage(const ConversionSummary& summary);

// The run stopped at a row: the message names the file and says why,
// with the system's reason where it is known.
class EConversionError : public Exception {
 public:
  EConversionError(std::string path, const std::string& message);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The run over `inputs.rows`.  Fails with EConversionError after the end
// steps; fails before touching anything when the engine is not available,
// when another run holds one of the folders it would write in, or when a
// requested backup copy cannot be made.
ConversionSummary ConvertAll(const ConversionInputs& inputs, ConversionObserver& observer);

// Copies the rows' files into the backup path (mode "Copy To New Folder"),
// each to its place there (see BackupTargets); mode "Compression" shows
// kNotSupported and copies nothing.  A copy never replaces a file; an
// existing copy with the same bytes counts as made.  Fails, naming every
// file whose copy could not be made, after trying them all.
void BackupFiles(const ConversionInputs& inputs, ConversionObserver& observer);

// Whether the window's "Con&vert" command runs: only with an open project
// and at least one row.
bool CanConvert(const Workspace& workspace);

}  // namespace bgconv
