#include "workspace/conversion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <climits>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "codec/charset_names.h"
#include "external/external_engine.h"
#include "platform/ansi_codepage.h"
#include "platform/file_copy.h"
#include "platform/paths.h"
#include "platform/purge.h"
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
      if (External()) RunPass();
      observer_.UpdateProgress(100);
    } catch (...) {
      RemoveWorkCopies();
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
      if (External()) {
        PrepareForPass(row.path);
      } else if (IsFormFile(row.path)) {
        ConvertFormFile(row.path);
      } else {
        ConvertPlainFile(row.path);
      }
    } catch (const std::exception& error) {
      throw EConversionError(row.path, Describe(error));
    }
    if (!External()) ++summary_.converted;
  }

  bool External() const { return inputs_.engine == kEngineConCmd; }

  // The external engine converts copies in the work folder.  The file at the
  // row's path stays as it is until the pass writes its converted copy over
  // it, so a run that fails before or during the pass loses nothing.  A form
  // file's copy is its form text with the charset identifiers rewritten.
  void PrepareForPass(const std::string& path) {
    std::string text;
    if (IsFormFile(path)) {
      text = inputs_.load_form_text(path, ansi_code_page_);
      ToLineListForm(text);
      text = FixCharsetNames(text, SourceSet(inputs_.direction), inputs_.direction, inputs_.change_default_charset);
      ToLineListForm(text);
    } else {
      text = ReadWholeFile(path);
    }
    const std::string work_name = UniqueWorkName(FileNameOf(path));
    WriteFileAtomically(inputs_.work_folder + work_name, text, inputs_.write_options);
    pass_rows_.push_back({work_name, path});
    handed_over_.push_back({std::hash<std::string>{}(text), text.size(), HasDoubleByteText(text)});
  }

  // What the run wrote into the work folder for a row, to tell a converted
  // copy from one the converter left as it was.
  struct HandedOver {
    std::size_t hash;
    std::size_t size;
    bool has_double_bytes;
  };

  static bool HasDoubleByteText(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 0xA0; });
  }

  // A copy goes back only when the converter reported success and did its
  // work: one that still holds the very bytes handed over, although they
  // had characters to convert, was left unconverted.  Otherwise the file at
  // the row's path keeps its original bytes (a form file its stream form).
  bool Accept(std::size_t row, std::string_view converted, int exit_code) const {
    if (exit_code != 0) return false;
    const HandedOver& before = handed_over_[row];
    const bool unchanged = converted.size() == before.size && std::hash<std::string_view>{}(converted) == before.hash;
    return !(unchanged && before.has_double_bytes);
  }

  // Rows with the same file name in different folders get work names of
  // their own (Unit1.pas, Unit1~2.pas, ...), compared without regard to case
  // as the converter may see them.
  std::string UniqueWorkName(const std::string& name) {
    std::string candidate = name;
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
    for (int n = 2; !work_names_.insert(UpperAscii(candidate)).second; ++n)
      candidate = stem + "~" + std::to_string(n) + extension;
    return candidate;
  }

  static std::string UpperAscii(std::string text) {
    for (auto& c : text) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
    return text;
  }

  class PassReporter : public ExternalPassReporter {
   public:
    explicit PassReporter(ConversionObserver& observer) : observer_(observer) {}
    void Log(std::string_view row) override { observer_.Log(row); }
    void ReplaceLastLog(std::string_view row) override { observer_.ReplaceLastLog(row); }
    void SelectLastLog() override { observer_.SelectLastLog(); }
    void ShowMessage(std::string_view text) override { observer_.ShowMessage(text); }

   private:
    ConversionObserver& observer_;
  };

  void RunPass() {
    ExternalPassInputs pass;
    pass.program = ConCmdProgramPath(inputs_.program_folder.empty() ? ExecutableFolder() : inputs_.program_folder);
    pass.direction = inputs_.direction;
    pass.engine_parameter = inputs_.engine_parameter;
    pass.work_folder = inputs_.work_folder;
    pass.rows = pass_rows_;
    pass.accept = [this, &pass](const ExternalPassRow& row, std::string_view converted, int exit_code) {
      return Accept(static_cast<std::size_t>(&row - pass.rows.data()), converted, exit_code);
    };
    PassReporter reporter(observer_);
    ExternalPassResult result;
    try {
      result = RunExternalEngine(pass, reporter);
    } catch (const std::exception& error) {
      throw EConversionError(pass.program, error.what());
    }
    std::vector<ExternalPassRow> left;
    for (std::size_t i = 0; i < pass_rows_.size(); ++i) {
      if (result.rows[i] == CopyBack::kCopied) {
        ++summary_.converted;
        continue;
      }
      observer_.Log("Not converted  " + pass_rows_[i].path + ": " + WhyNotConverted(result.rows[i], result.exit_code) +
                    "; the file is as it was");
      summary_.not_converted_paths.push_back(pass_rows_[i].path);
      left.push_back(pass_rows_[i]);
    }
    pass_rows_ = std::move(left);
    RemoveWorkCopies();
  }

  static std::string WhyNotConverted(CopyBack copy_back, int exit_code) {
    switch (copy_back) {
      case CopyBack::kMissing:
        return "the converter left no copy in the work folder";
      case CopyBack::kFailed:
        return "its converted copy could not be written back";
      case CopyBack::kRejected:
        return exit_code != 0 ? "the converter returned " + std::to_string(exit_code)
                              : "the converter left it unconverted";
      case CopyBack::kCopied:
        break;
    }
    return {};
  }

  // After a failure: the copies the pass did not take back leave the work
  // folder; the files at the rows' paths never left their places.
  void RemoveWorkCopies() {
    for (const auto& row : pass_rows_) ::unlink((inputs_.work_folder + row.work_name).c_str());
    pass_rows_.clear();
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
    text = FixCharsetNames(text, TargetSet(inputs_.direction), inputs_.direction, inputs_.change_default_charset);
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
  std::vector<ExternalPassRow> pass_rows_;
  std::vector<HandedOver> handed_over_;
  std::set<std::string> work_names_;
  ConversionSummary summary_;
};

}  // namespace

std::string_view OriginalSuffix(int direction) { return direction == kGbToBig ? ".GB" : ".Big"; }

EConversionError::EConversionError(std::string path, const std::string& message)
    : Exception(message.find(path) == std::string::npos ? path + ": " + message : message), path_(std::move(path)) {}

ConversionSummary ConvertAll(const ConversionInputs& inputs, ConversionObserver& observer) {
  if (inputs.engine != kEngineItSelf && inputs.engine != kEngineConCmd)
    throw Exception("Unknown conversion engine " + std::to_string(inputs.engine));
  if (inputs.engine == kEngineConCmd) {
    if (inputs.work_folder.empty()) throw Exception("The ConCmd engine needs a work folder");
    // The program makes the work folder itself, marked so that its purge
    // at exit can tell it from any other folder.
    if (!PathExists(inputs.work_folder) && !CreateWorkFolder(inputs.work_folder))
      throw EFCreateError(inputs.work_folder);
  }
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
