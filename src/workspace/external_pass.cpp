#include "workspace/external_pass.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/purge.h"

namespace bgconv {
namespace {

bool HasDoubleByteText(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 0xA0; });
}

}  // namespace

ExternalPass::ExternalPass(ExternalPassSettings settings, FolderLocks& locks)
    : settings_(std::move(settings)), locks_(locks) {}

ExternalPass::~ExternalPass() { RemoveCopies(); }

void ExternalPass::HandOver(const std::string& path, std::string_view text) {
  const std::string work_name = UniqueWorkName(FileNameOf(path));
  WriteNewFile(settings_.work_folder + work_name, text);
  rows_.push_back({work_name, path});
  handed_over_.push_back({std::hash<std::string_view>{}(text), text.size(), HasDoubleByteText(text)});
}

ExternalPass::Outcome ExternalPass::Run(ExternalPassReporter& reporter) {
  ExternalPassInputs inputs = MakePassInputs(settings_.program_folder, settings_.direction, settings_.engine_parameter,
                                             settings_.work_folder, rows_);
  inputs.timeout = settings_.timeout;
  inputs.locks = &locks_;
  inputs.accept = [this](std::size_t row, std::string_view converted, int exit_code) {
    return Accept(row, converted, exit_code);
  };
  const ExternalPassResult result = RunExternalEngine(inputs, reporter);
  Outcome outcome;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (result.rows[i] == CopyBack::kCopied) {
      ++outcome.converted;
      continue;
    }
    reporter.Log("Not converted  " + rows_[i].path + ": " + WhyNotCopiedBack(result.rows[i], result.exit_code) +
                 "; the file is as it was");
    outcome.not_converted.push_back(rows_[i].path);
  }
  RemoveCopies();
  return outcome;
}

// A copy goes back only when the converter reported success and did its
// work: one that still holds the very bytes handed over, although they had
// characters to convert, was left unconverted.  Otherwise the file at the
// row's path keeps its original bytes (a form file its stream form).
bool ExternalPass::Accept(std::size_t row, std::string_view converted, int exit_code) const {
  if (exit_code != 0) return false;
  const HandedOver& before = handed_over_[row];
  const bool unchanged = converted.size() == before.size && std::hash<std::string_view>{}(converted) == before.hash;
  return !(unchanged && before.has_double_bytes);
}

// Rows with the same file name in different folders get work names of their
// own, compared without regard to case as the converter may see them.
std::string ExternalPass::UniqueWorkName(const std::string& name) {
  std::string candidate = name;
  const auto dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
  for (int n = 2; !work_names_.insert(UpperAscii(candidate)).second; ++n)
    candidate = stem + "~" + std::to_string(n) + extension;
  return candidate;
}

void ExternalPass::RemoveCopies() {
  for (const auto& row : rows_) ::unlink((settings_.work_folder + row.work_name).c_str());
  rows_.clear();
  handed_over_.clear();
  if (!IsMarkedWorkFolder(settings_.work_folder)) return;
  try {
    EmptyWorkFolder(settings_.work_folder);
  } catch (const Exception&) {
    // The next run empties it before it starts, and the window's exit purges it.
  }
}

}  // namespace bgconv
