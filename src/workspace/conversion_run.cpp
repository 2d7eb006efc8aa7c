#include "workspace/conversion_run.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "codec/charset_names.h"
#include "platform/ansi_codepage.h"
#include "platform/file_copy.h"
#include "platform/paths.h"
#include "workspace/line_form.h"

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
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return (errno == ENOENT || errno == ENOTDIR) ? Presence::kMissing : Presence::kRegularFile;
  return S_ISREG(info.st_mode) ? Presence::kRegularFile : Presence::kOther;
}

std::string Describe(const std::exception& error) {
  std::string message = error.what();
  if (const auto* create = dynamic_cast<const EFCreateError*>(&error); create && !create->Reason().empty())
    message += " (" + create->Reason() + ")";
  return message;
}

bool IsFormFile(const std::string& path) { return UpperExtensionOf(path) == ".DFM"; }

class Run {
 public:
  Run(const ConversionInputs& inputs, ConversionObserver& observer)
      : inputs_(inputs),
        observer_(observer),
        ansi_code_page_(inputs.ansi_code_page != 0 ? inputs.ansi_code_page : SourceCodePage(inputs.direction)) {
    // Taken before any file changes: a replaced file gets a new identity.
    for (const auto& row : inputs_.rows) identities_.push_back(FileIdentity(row.path));
  }

  ConversionSummary Execute() {
    if (inputs_.backup) BackupFiles(inputs_, observer_);
    observer_.ShowProgress(kConvertTitle);
    try {
      observer_.ShowPage(NotebookPage::kLogView);
      observer_.Log(kBeginLog);
      observer_.UpdateProgress(0);
      const std::size_t count = inputs_.rows.size();
      for (std::size_t i = 0; i < count; ++i) {
        observer_.UpdateProgress(static_cast<int>(static_cast<long long>(i) * 100 / static_cast<long long>(count)));
        ConvertRow(i);
      }
      observer_.UpdateProgress(100);
    } catch (...) {
      End();
      throw;
    }
    End();
    return summary_;
  }

 private:
  void End() {
    observer_.Log(kEndLog);
    observer_.ShowPage(NotebookPage::kSourceView);
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
      if (inputs_.overwrite == kKeepSuffixedOriginal) KeepOriginal(row.path);
      if (IsFormFile(row.path)) {
        ConvertFormFile(row.path);
      } else {
        ConvertPlainFile(row.path);
      }
    } catch (const std::exception& error) {
      throw EConversionError(row.path, Describe(error));
    }
    ++summary_.converted;
  }

  // The original's bytes under the path with the direction's suffix.  An
  // existing file of that name holds an older original and stays.
  void KeepOriginal(const std::string& path) {
    const std::string copy = path + std::string(OriginalSuffix(inputs_.direction));
    if (CopyFileNoReplace(path, copy, inputs_.write_options) == CopyResult::kTargetExists) {
      observer_.Log("Keep  " + copy + ": exists already, the older original stays");
      return;
    }
    if (auto identity = FileIdentity(copy)) made_by_run_.insert(std::move(*identity));
  }

  // The text goes through the line list before and after the conversion:
  // the converter takes the byte after a lead byte whatever it is, so a lead
  // byte at the end of a line can take its CR.
  void ConvertPlainFile(const std::string& path) {
    std::string text = ReadWholeFile(path);
    ToLineListForm(text);
    text = ConvertText(text, inputs_.direction);
    ToLineListForm(text);
    WriteFileAtomically(path, text, inputs_.write_options);
  }

  void ConvertFormFile(const std::string& path) {
    std::string text = inputs_.load_form_text(path, ansi_code_page_);
    text = ConvertText(text, inputs_.direction);
    text = FixCharsetNames(text, inputs_.direction, inputs_.change_default_charset);
    ToLineListForm(text);
    WriteFileAtomically(path, text, inputs_.write_options);
  }

  static void ToLineListForm(std::string& text) {
    if (!IsInLineListForm(text)) text = NormalizeLineBreaks(text);
  }

  const ConversionInputs& inputs_;
  ConversionObserver& observer_;
  const int ansi_code_page_;
  std::vector<std::optional<std::string>> identities_;
  std::map<std::string, std::size_t> first_row_of_;
  std::set<std::string> made_by_run_;
  ConversionSummary summary_;
};

}  // namespace

std::string_view OriginalSuffix(int direction) { return direction == kGbToBig ? ".GB" : ".Big"; }

EConversionError::EConversionError(std::string path, const std::string& message)
    : Exception(message.find(path) == std::string::npos ? path + ": " + message : message), path_(std::move(path)) {}

ConversionSummary ConvertAll(const ConversionInputs& inputs, ConversionObserver& observer) {
  if (inputs.engine != kEngineItSelf)
    throw Exception("The ConCmd engine is not available yet; convert with the built-in engine");
  return Run(inputs, observer).Execute();
}

void BackupFiles(const ConversionInputs& inputs, ConversionObserver& observer) {
  if (inputs.backup_mode == kBackupCompression) {
    observer.ShowMessage(kNotSupported);
    return;
  }
  for (const auto& row : inputs.rows) {
    const std::string target = inputs.backup_path + FileNameOf(row.path);
    std::string why;
    try {
      if (const Presence presence = PresenceOf(row.path); presence == Presence::kMissing) {
        why = "file not found";
      } else if (presence == Presence::kOther) {
        why = "not a regular file";
      } else if (CopyFileNoReplace(row.path, target, inputs.write_options) == CopyResult::kTargetExists) {
        why = target + " exists already";
      }
    } catch (const std::exception& error) {
      why = Describe(error);
    }
    if (!why.empty()) observer.Log("Not backed up  " + row.path + ": " + why);
  }
}

bool CanConvert(const Workspace& workspace) { return workspace.HasProject() && !workspace.Rows().empty(); }

}  // namespace bgconv
