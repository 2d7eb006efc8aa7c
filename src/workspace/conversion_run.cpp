#include "workspace/conversion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "codec/charset_names.h"
#include "codec/encoding_guard.h"
#include "codec/unicode_text.h"
#include "external/external_engine.h"
#include "external/work_folder.h"
#include "form/ascii_form_text.h"
#include "form/decode_form_file.h"
#include "platform/ansi_codepage.h"
#include "platform/file_copy.h"
#include "platform/file_status.h"
#include "platform/folder_lock.h"
#include "platform/line_form.h"
#include "platform/paths.h"
#include "platform/purge.h"
#include "platform/temporary_file.h"
#include "workspace/backup.h"
#include "workspace/external_pass.h"
#include "workspace/project_scanner.h"

namespace bgconv {
namespace {

// The file a path names, so that two rows naming one file (the same text, a
// path through "..", a symbolic link) are told apart from two files.  Hard
// links count as two files: replacing one name leaves the other as it was,
// so a file with more than one name is told apart by its resolved path.
std::optional<std::string> FileIdentity(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  std::string identity = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  if (info.st_nlink > 1) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return std::nullopt;
    identity += ":";
    identity += resolved;
    std::free(resolved);
  }
  return identity;
}

enum class Presence { kMissing, kRegularFile, kOther };

// Whether there is a file to convert at `path`.  A path the system will not
// look at (no permission) counts as a file, so that reading it says why.
Presence PresenceOf(const std::string& path) {
  switch (KindOf(path)) {
    case FileKind::kMissing:
      return Presence::kMissing;
    case FileKind::kRegular:
    case FileKind::kHidden:
      return Presence::kRegularFile;
    case FileKind::kFolder:
    case FileKind::kOther:
      break;
  }
  return Presence::kOther;
}

std::string Describe(const std::exception& error) {
  std::string message = FailureText(error);
  if (const auto* create = dynamic_cast<const EFCreateError*>(&error); create && !create->Reason().empty())
    message += " (" + create->Reason() + ")";
  return message;
}

// Whether the files at `a` and `b` both read and hold the same bytes.
bool SameBytes(const std::string& a, const std::string& b) {
  try {
    return ReadWholeFile(a) == ReadWholeFile(b);
  } catch (const Exception&) {
    return false;
  }
}

class Run {
 public:
  Run(const ConversionInputs& inputs, ConversionObserver& observer)
      : inputs_(inputs),
        observer_(observer),
        ansi_code_page_(inputs.ansi_code_page != 0 ? inputs.ansi_code_page : SourceCodePage(inputs.direction)) {
    // Taken before any file changes: a replaced file gets a new identity.
    for (const auto& row : inputs_.rows) identities_.push_back(FileIdentity(row.path));
    // Loads the dictionaries, if any, before a file is touched.
    if (inputs_.utf8) script_.emplace(inputs_.utf8->script);
  }

  ConversionSummary Execute() {
    LockFolders();
    RemoveStaleTemporaries(FilesWritten());
    if (External()) {
      EmptyOwnWorkFolder();  // what a killed run left there
      pass_.emplace(ExternalPassSettings{inputs_.program_folder, inputs_.direction, inputs_.engine_parameter,
                                         inputs_.work_folder, inputs_.timeout},
                    locks_);
    }
    if (inputs_.backup) BackupFiles(inputs_, observer_);
    observer_.ShowProgress(kConvertTitle);
    try {
      observer_.RunStarted();
      observer_.Log(kBeginLog);
      observer_.UpdateProgress(0);
      const std::size_t count = inputs_.rows.size();
      for (std::size_t i = 0; i < count; ++i) {
        observer_.UpdateProgress(static_cast<int>(static_cast<long long>(i) * 100 / static_cast<long long>(count)));
        ConvertRow(i);
      }
      if (External()) RunPass();
      observer_.UpdateProgress(100);
      LogLeftOut();
    } catch (...) {
      pass_.reset();  // its copies leave the work folder
      End();
      throw;
    }
    pass_.reset();
    End();
    return summary_;
  }

 private:
  // Another run (this program's window or command line) that writes in the
  // same folders must not interleave with this one.
  void LockFolders() {
    for (const auto& row : inputs_.rows) {
      if (locks_.TryLock(FolderOf(row.path))) continue;
      const std::string& what = inputs_.project_path.empty() ? row.path : inputs_.project_path;
      throw Exception("Another conversion of " + what + " is running");
    }
    if (External() && !locks_.TryLock(inputs_.work_folder))
      throw Exception("Another conversion with the work folder " + inputs_.work_folder + " is running");
  }

  // Every file the run may replace or create beside the rows' files.
  std::vector<std::string> FilesWritten() const {
    std::vector<std::string> files;
    for (const auto& row : inputs_.rows) {
      files.push_back(row.path);
      if (inputs_.overwrite == OverwriteMode::kChangeExtension)
        files.push_back(row.path + std::string(OriginalSuffix(inputs_.direction)));
    }
    return files;
  }

  void LogLeftOut() {
    const std::size_t left_out = summary_.LeftOut();
    if (left_out == 0) return;
    observer_.Log("Left out  " + std::to_string(left_out) + (left_out == 1 ? " file" : " files") +
                  " (see the Skip and Not converted rows above)");
  }

  void End() {
    observer_.Log(kEndLog);
    observer_.RunEnded();
    observer_.HideProgress();
  }

  void ConvertRow(std::size_t i) {
    const FileRow& row = inputs_.rows[i];
    observer_.UpdateProgressTitle(row.caption);
    observer_.Log(std::string(kConvertLogPrefix) + row.path);
    switch (PresenceOf(row.path)) {
      case Presence::kMissing:
        observer_.Log("Skip  " + row.path + ": file not found");
        summary_.missing_paths.push_back(row.path);
        return;
      case Presence::kOther:
        // A folder, a pipe or a device: reading it could wait forever.
        throw EConversionError(row.path, row.path + " is not a regular file");
      case Presence::kRegularFile:
        break;
    }
    const std::optional<std::string> identity = identities_[i] ? identities_[i] : FileIdentity(row.path);
    if (identity) {
      if (made_by_run_.count(*identity) != 0) {
        observer_.Log("Skip  " + row.path + ": a copy this run made of an original");
        return;
      }
      const auto [first, inserted] = first_row_of_.emplace(*identity, i);
      if (!inserted) {
        observer_.Log("Skip  " + row.path + ": the same file as " + inputs_.rows[first->second].path +
                      ", converted once");
        ++summary_.repeated;
        return;
      }
    }
    try {
      // A file is read once, before anything is written for it.
      std::string text;
      if (!ReadRowText(row.path, text)) return;
      if (inputs_.utf8) {
        ConvertToUtf8(row.path, std::move(text));
        return;
      }
      if (inputs_.overwrite == OverwriteMode::kChangeExtension) KeepOriginal(row.path);
      if (External()) {
        PrepareForPass(row.path, std::move(text));
      } else {
        ConvertWithBuiltIn(row.path, std::move(text));
      }
    } catch (const std::exception& error) {
      throw EConversionError(row.path, Describe(error));
    }
  }

  bool External() const { return inputs_.engine == Engine::kConCmd && !inputs_.utf8; }

  // The text the run converts: a plain file's bytes, a form's folded form
  // text.  False, after logging why, for a file the run leaves as it is:
  // not text, or (unless forced) not in the source code page.
  bool ReadRowText(const std::string& path, std::string& text) {
    if (IsFormFile(path)) {
      // To UTF-8 a form's strings are decoded as they stand, wide strings
      // unfolded: no character is lost to a code page that lacks it.
      text = inputs_.utf8 ? DecodeFormFile(path) : inputs_.load_form_text(path, ansi_code_page_);
    } else {
      text = ReadWholeFile(path);
      if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
        // A compiled resource, a UTF-16 unit: the line list would cut it.
        observer_.Log("Skip  " + path + ": not text (a NUL byte at offset " + std::to_string(nul) + ")");
        summary_.not_text_paths.push_back(path);
        return false;
      }
    }
    if (inputs_.force) return true;
    if (auto reason = SkipReason(ClassifyText(text), inputs_.direction)) {
      observer_.Log("Skip  " + path + ": " + *reason);
      summary_.not_source_files.push_back({path, std::move(*reason)});
      return false;
    }
    return true;
  }

  // The external engine converts copies in the work folder; a form file's
  // copy is its form text with the charset identifiers rewritten.
  void PrepareForPass(const std::string& path, std::string text) {
    if (IsFormFile(path)) {
      ToLineListForm(text);
      text = FixCharsetNames(text, SourceSet(inputs_.direction), inputs_.direction, inputs_.change_default_charset);
      ToLineListForm(text);
    }
    pass_->HandOver(path, text);
  }

  void RunPass() {
    ExternalPass::Outcome outcome;
    try {
      outcome = pass_->Run(observer_);
    } catch (const std::exception& error) {
      throw EConversionError(
          ConCmdProgramPath(inputs_.program_folder.empty() ? ExecutableFolder() : inputs_.program_folder),
          error.what());
    }
    summary_.converted += outcome.converted;
    for (auto& path : outcome.not_converted) summary_.not_converted_paths.push_back(std::move(path));
  }

  // A work folder this program made holds nothing of a run once it has
  // ended: a copy left there would go back over a project at the next pass.
  void EmptyOwnWorkFolder() {
    if (!IsMarkedWorkFolder(inputs_.work_folder)) return;
    try {
      EmptyWorkFolder(inputs_.work_folder);
    } catch (const Exception& error) {
      observer_.Log(error.what());
    }
  }

  // The original's bytes under the path with the direction's suffix.  A
  // file that already has that name must hold the same bytes: otherwise the
  // original of this run could be kept nowhere, and the file stays as it is.
  void KeepOriginal(const std::string& path) {
    const std::string copy = path + std::string(OriginalSuffix(inputs_.direction));
    const auto fail = [&](const std::string& why) {
      throw EConversionError(path, "Cannot keep the original of " + path + ": " + why);
    };
    CopyResult result = CopyResult::kCopied;
    try {
      result = CopyFileNoReplace(path, copy, inputs_.write_options);
    } catch (const EFCreateError& error) {
      fail(error.Reason().empty() ? error.what() : error.Reason());
    }
    if (result == CopyResult::kTargetExists) {
      if (!SameBytes(path, copy)) fail(copy + " already exists");
      observer_.Log("Keep  " + copy + ": exists already with the same bytes");
      return;
    }
    if (auto identity = FileIdentity(copy)) made_by_run_.insert(std::move(*identity));
  }

  // The converter leaves every byte below 0xA1 where it stands (a lead byte
  // before a line end becomes a blank and the line end stays), so putting
  // the converted text into line-list form gives the same lines as putting
  // the original there first.  A form is written as form text with its
  // charset identifiers rewritten.
  void ConvertWithBuiltIn(const std::string& path, std::string text) {
    if (inputs_.force) {
      text = ConvertText(text, inputs_.direction);
    } else {
      GuardedConversion converted = ConvertKeepingUtf8Lines(text, inputs_.direction);
      if (converted.kept_lines > 0)
        observer_.Log("Keep  " + path + ": " + std::to_string(converted.kept_lines) +
                      (converted.kept_lines == 1 ? " line" : " lines") + " of UTF-8 as they were");
      text = std::move(converted.text);
    }
    if (IsFormFile(path))
      text = FixCharsetNames(text, TargetSet(inputs_.direction), inputs_.direction, inputs_.change_default_charset);
    ToLineListForm(text);
    WriteFileAtomically(path, text, inputs_.write_options);
    ++summary_.converted;
  }

  // A plain file becomes UTF-8 (UTF-8 lines among it stay, unless forced),
  // a form ASCII form text.  A file that already holds what would be written
  // (a form converted before) is left alone, so that a second run with kept
  // originals does not stop at the copy of its first.
  void ConvertToUtf8(const std::string& path, std::string text) {
    const int code_page = SourceCodePage(inputs_.direction);
    std::size_t undecodable = 0;
    std::string out;
    if (IsFormFile(path)) {
      AsciiFormText ascii = FormTextToAscii(text, code_page, *script_);
      out = std::move(ascii.text);
      undecodable = ascii.undecodable;
      if (inputs_.change_default_charset) out = ChineseCharsetsToDefault(out);
    } else {
      // `text` stays the file's bytes, for the comparison below.
      std::optional<std::string> normalized;
      if (!IsInLineListForm(text)) normalized = NormalizeLineBreaks(text);
      Utf8Text utf8 =
          TextToUtf8(normalized ? *normalized : text, code_page, *script_, inputs_.utf8->bom, !inputs_.force);
      if (utf8.kept_lines > 0)
        observer_.Log("Keep  " + path + ": " + std::to_string(utf8.kept_lines) +
                      (utf8.kept_lines == 1 ? " line" : " lines") + " of UTF-8 as they were");
      out = std::move(utf8.text);
      undecodable = utf8.undecodable;
    }
    if (undecodable > 0)
      observer_.Log("Undecodable  " + path + ": " + std::to_string(undecodable) +
                    (undecodable == 1 ? " byte sequence" : " byte sequences") + " not in code page " +
                    std::to_string(code_page) + ", written as U+FFFD");
    ++summary_.converted;
    // A binary form's bytes are not its text: they are read again only when
    // its text already is what would be written.
    if (out == text && (!IsFormFile(path) || ReadWholeFile(path) == out)) {
      observer_.Log("Unchanged  " + path + ": already as the conversion writes it");
      return;
    }
    if (inputs_.overwrite == OverwriteMode::kChangeExtension) KeepOriginal(path);
    WriteFileAtomically(path, out, inputs_.write_options);
  }

  static void ToLineListForm(std::string& text) {
    if (!IsInLineListForm(text)) text = NormalizeLineBreaks(text);
  }

  const ConversionInputs& inputs_;
  ConversionObserver& observer_;
  const int ansi_code_page_;
  std::optional<ScriptConverter> script_;  // to UTF-8 only
  std::vector<std::optional<std::string>> identities_;
  std::map<std::string, std::size_t> first_row_of_;
  std::set<std::string> made_by_run_;
  FolderLocks locks_;
  std::optional<ExternalPass> pass_;  // the external engine's
  ConversionSummary summary_;
};

}  // namespace

std::string_view OriginalSuffix(Direction direction) { return direction == Direction::kGbToBig ? ".GB" : ".Big"; }

std::string RunEndMessage(const ConversionSummary& summary) {
  const std::size_t left_out = summary.LeftOut();
  if (left_out == 0) return {};
  const auto files = [](std::size_t count) { return std::to_string(count) + (count == 1 ? " file" : " files"); };
  return "Converted " + files(summary.converted) + ", left " + files(left_out) + " as " +
         (left_out == 1 ? "it was" : "they were") + " (see the log)";
}

EConversionError::EConversionError(std::string path, const std::string& message)
    : Exception(message.find(path) == std::string::npos ? path + ": " + message : message), path_(std::move(path)) {}

ConversionSummary ConvertAll(const ConversionInputs& inputs, ConversionObserver& observer) {
  if (inputs.engine == Engine::kConCmd && !inputs.utf8) {
    std::vector<std::string> paths;
    for (const auto& row : inputs.rows) paths.push_back(row.path);
    CheckWorkFolder(inputs.work_folder, paths);
  }
  return Run(inputs, observer).Execute();
}

void BackupFiles(const ConversionInputs& inputs, ConversionObserver& observer) {
  if (inputs.backup_mode == BackupMode::kCompression) {
    observer.ShowMessage(kNotSupported);
    return;
  }
  std::vector<std::string> paths;
  for (const auto& row : inputs.rows) paths.push_back(row.path);
  const std::string project_folder = inputs.project_path.empty() ? "" : FolderOf(inputs.project_path);
  const std::vector<std::string> targets = BackupTargets(paths, project_folder, inputs.backup_path);
  std::vector<std::string> failures;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const Presence presence = PresenceOf(paths[i]);
    if (presence == Presence::kMissing) {
      observer.Log("Not backed up  " + paths[i] + ": file not found");  // the run skips it too
      continue;
    }
    std::string why;
    try {
      std::error_code error;
      if (presence == Presence::kOther) {
        why = "not a regular file";
      } else if (std::filesystem::create_directories(FolderOf(targets[i]), error); error) {
        why = "Cannot create the folder " + FolderOf(targets[i]) + ": " + error.message();
      } else if (CopyFileNoReplace(paths[i], targets[i], inputs.write_options) == CopyResult::kTargetExists &&
                 !SameBytes(paths[i], targets[i])) {
        why = targets[i] + " already exists";
      }
    } catch (const std::exception& error) {
      why = Describe(error);
    }
    if (why.empty()) continue;
    observer.Log("Not backed up  " + paths[i] + ": " + why);
    failures.push_back(paths[i] + " (" + why + ")");
  }
  if (failures.empty()) return;
  std::string message = "Cannot back up " + std::to_string(failures.size()) +
                        (failures.size() == 1 ? " file" : " files") + ", so no file was converted: ";
  for (std::size_t i = 0; i < failures.size(); ++i) message += (i == 0 ? "" : "; ") + failures[i];
  throw Exception(message);
}

bool CanConvert(const Workspace& workspace) { return workspace.HasProject() && !workspace.Rows().empty(); }

}  // namespace bgconv
