#include <iostream>

#include "app/cli.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "settings/settings.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kSettingsUsage =
    "Usage: bgconv settings [--file PATH]\n"
    "Shows the settings file in use and the values the program takes from it,\n"
    "one section.key=value per line (a key missing from the file shows its\n"
    "default).  The cpEng keys count only with the ConCmd engine\n"
    "(cpOption.ConvertEngine=1), and cpEng.Parameter only with\n"
    "cpEng.NotVocabulary=1; the others are not shown.\n"
    "\n"
    "The settings file is the program's path with \".ini\", or, when the\n"
    "program's folder is not writable, the file of that name in\n"
    "$XDG_CONFIG_HOME/bgconv/ (~/.config/bgconv/ by default).\n"
    "\n"
    "  --file PATH   show the values of PATH instead\n";

void Show(std::ostream& out, std::string_view section, std::string_view key, const std::string& value) {
  out << section << '.' << key << '=' << value << '\n';
}

void Show(std::ostream& out, std::string_view section, std::string_view key, int value) {
  Show(out, section, key, std::to_string(value));
}

}  // namespace

int RunSettings(Arguments& args, Io io) {
  std::string path;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kSettingsUsage;
      return kExitOk;
    }
    if (*option == "--file") {
      path = args.Value();
      if (path.empty()) throw UsageError("settings: --file needs a path");
    } else {
      args.Unknown(*option);
    }
  }
  if (!args.Operands().empty()) throw UsageError("settings: takes no operands");
  if (path.empty()) path = SettingsPath();

  const Settings settings = ForFile(path, [&] { return LoadSettings(path, ProgramSettingsContext()); });
  auto& out = io.out;
  out << "settings file: " << path << (PathExists(path) ? "" : " (not created yet)") << '\n';
  Show(out, kViewSection, "FileListFont", FontToString(settings.fonts.file_list));
  Show(out, kViewSection, "DebugListFont", FontToString(settings.fonts.debug_list));
  Show(out, kViewSection, "memo1Font", FontToString(settings.fonts.memo1));
  Show(out, kViewSection, "memo2Font", FontToString(settings.fonts.memo2));
  Show(out, kOptionSection, "DefLan", settings.code_direction);
  Show(out, kOptionSection, "AddConfigFile", settings.add_config_files);
  Show(out, kOptionSection, "BackUporiginal", settings.backup_original);
  Show(out, kOptionSection, "ConvertEngine", settings.convert_engine);
  Show(out, kOptionSection, "Overwrite", settings.overwrite);
  Show(out, kOptionSection, "BackupMould", settings.backup_mould);
  Show(out, kOptionSection, "WorkConvertDir", settings.work_folder);
  Show(out, kOptionSection, "BackupDir", settings.backup_folder);
  Show(out, kOptionSection, "ChagerCharset", settings.change_charset);
  if (settings.convert_engine == kEngineConCmd) {
    Show(out, kEngineSection, kEnginePathKey, settings.engine_path);
    Show(out, kEngineSection, kNotVocabularyKey, settings.not_vocabulary);
    if (settings.not_vocabulary) Show(out, kEngineSection, kEngineParameterKey, settings.engine_parameter);
  }
  out.flush();
  if (!out) throw Exception("cannot write to standard output");
  return kExitOk;
}

}  // namespace bgconv::cli
