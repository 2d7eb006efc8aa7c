#include "workspace/backup.h"

#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "platform/paths.h"
#include "workspace/workspace.h"

namespace bgconv {
namespace {

// The part of `path` below `folder`, when `path` lies there without a ".."
// or "." step that could lead out of it.
std::optional<std::string> BelowFolder(const std::string& path, const std::string& folder) {
  if (folder.empty() || !path.starts_with(folder) || path.size() == folder.size()) return std::nullopt;
  const std::string_view rest = std::string_view(path).substr(folder.size());
  for (std::size_t start = 0; start <= rest.size();) {
    const std::size_t end = std::min(rest.find(kPathSeparator, start), rest.size());
    const std::string_view step = rest.substr(start, end - start);
    if (step.empty() || step == "." || step == "..") return std::nullopt;
    start = end + 1;
  }
  return std::string(rest);
}

// `name` with "~n" before its extension.
std::string Numbered(const std::string& name, int n) {
  const std::size_t dot = name.rfind('.');
  const bool has_extension = dot != std::string::npos && dot != 0;
  return (has_extension ? name.substr(0, dot) : name) + "~" + std::to_string(n) +
         (has_extension ? name.substr(dot) : std::string());
}

}  // namespace

std::vector<std::string> BackupTargets(const std::vector<std::string>& paths, const std::string& project_folder,
                                       const std::string& backup_folder) {
  std::map<std::string, std::string> target_of;  // path -> its copy, below the backup folder
  std::set<std::string> taken;
  // The files of the project first, so that none of them ever has to move
  // aside for a file from elsewhere.
  for (const auto& path : paths)
    if (const auto below = BelowFolder(path, project_folder); below && target_of.emplace(path, *below).second) {
      // Its folders too: a file from elsewhere must not take the name "Sub".
      for (std::size_t slash = below->find(kPathSeparator); slash != std::string::npos;
           slash = below->find(kPathSeparator, slash + 1))
        taken.insert(below->substr(0, slash));
      taken.insert(*below);
    }
  for (const auto& path : paths) {
    if (target_of.count(path) != 0) continue;
    const std::string name = FileNameOf(path);
    std::string candidate = name;
    for (int n = 2; taken.count(candidate) != 0; ++n) candidate = Numbered(name, n);
    taken.insert(candidate);
    target_of.emplace(path, candidate);
  }
  std::vector<std::string> targets;
  targets.reserve(paths.size());
  for (const auto& path : paths) targets.push_back(backup_folder + target_of.at(path));
  return targets;
}

}  // namespace bgconv
