// bgconv list and bgconv convert: the workspace and the conversion run on
// the command line.  Both take their defaults from the settings file when
// there is one; options override them.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/cli.h"
#include "app/console_observer.h"
#include "platform/ansi_codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "settings/settings.h"
#include "workspace/conversion_run.h"
#include "workspace/file_class.h"
#include "workspace/workspace.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kListUsage =
    "Usage: bgconv list [--no-config | --config] [--settings FILE] PROJECT\n"
    "Lists the files of a Delphi project (.dpr program or .dpk package) as the\n"
    "conversion takes them, one per line, tab-separated: File, Size, Code, Path,\n"
    "Class.  Class is what the file holds, as 'bgconv detect' names it (a form\n"
    "by its form text): a file not in the source code page of a conversion is\n"
    "left as it is.\n"
    "The project file comes first, then its .dof and .cfg, then every unit the\n"
    "project names and the form file (.dfm) beside each unit.  Names are found\n"
    "as Windows finds them: 'Sub\\Unit2.pas' is Sub/Unit2.pas, and letter case\n"
    "does not matter.\n"
    "\n"
    "  --no-config      leave out the .dof and .cfg files\n"
    "  --config         list them (the default, unless the settings say otherwise)\n"
    "  --settings FILE  take the defaults from FILE instead of the settings file\n";

constexpr std::string_view kConvertUsage =
    "Usage: bgconv convert [OPTIONS] PROJECT | FILE...\n"
    "Converts every file of a Delphi project (PROJECT: a .dpr or .dpk, with the\n"
    "files 'bgconv list' shows) or the given FILEs in place, with the built-in\n"
    "engine.  Form files (.dfm) are written back as form text with their\n"
    "charset identifiers rewritten; every written file has CR LF line ends.\n"
    "Each file is replaced in one step: it holds either its original or its\n"
    "complete conversion, whatever happens.\n"
    "\n"
    "  --to gb|big5                 Big5 to GB2312, or GB2312 to Big5\n"
    "  --to utf8 --from big5|gb     Big5 or GB2312 to UTF-8: units and other text\n"
    "                               files as UTF-8, forms as form text in ASCII\n"
    "                               (#nnnn for every other character of a string)\n"
    "  --no-bom                     to UTF-8 without a byte order mark (Lazarus,\n"
    "                               Free Pascal); Delphi wants one (the default)\n"
    "  --script keep|simplified|traditional\n"
    "                               to UTF-8, convert the hanzi word by word\n"
    "                               (OpenCC tw2s / s2tw); keep changes none\n"
    "  --keep-original              keep each original under its name with \".Big\"\n"
    "                               (--to gb, --from big5) or \".GB\" (--to big5,\n"
    "                               --from gb) appended; a file of that name\n"
    "                               with other bytes stops the run\n"
    "  --overwrite                  keep no original\n"
    "  --backup DIR                 first copy the files into DIR, each to its\n"
    "                               place below the project's folder; a file there\n"
    "                               with other bytes stops the run before any file\n"
    "                               is converted\n"
    "  --no-backup                  make no backup\n"
    "  --backup-mode copy|compression\n"
    "                               compression is not supported: no backup is made\n"
    "  --no-config | --config       leave out / take in the project's .dof and .cfg\n"
    "  --change-default-charset     rewrite DEFAULT_CHARSET in form files too; to\n"
    "                               UTF-8, rewrite the Chinese charsets to it\n"
    "  --no-change-default-charset  leave DEFAULT_CHARSET alone\n"
    "  --acp 950|936                the code page form captions are read into\n"
    "                               (default: the source code page, 950 for --to gb)\n"
    "  --engine builtin|external    the conversion engine: the built-in tables, or\n"
    "                               ConCmd/ConCmd beside this program over the work\n"
    "                               folder (settings: WorkConvertDir, cpEng Parameter)\n"
    "  --timeout SECONDS            end the external converter after SECONDS; every\n"
    "                               file then keeps its original (default: none)\n"
    "  --sync                       flush every file to the disk before replacing\n"
    "  --force                      convert every file, also one that is not in the\n"
    "                               source code page, and UTF-8 lines among it\n"
    "  --quiet                      show errors only\n"
    "  --settings FILE              take the defaults from FILE\n"
    "\n"
    "Without an option, a value comes from the settings file ('bgconv settings'\n"
    "shows it); --to is required when there is none.  The log goes to standard\n"
    "error; on a terminal a progress bar shows the file being converted.\n"
    "A file that holds a NUL byte (a compiled resource such as App.res, a UTF-16\n"
    "unit) is not text: it is left as it is and named at the end.  So is a file\n"
    "that is surely not in the source code page (already converted, UTF-8, lines\n"
    "of both code pages: see 'bgconv detect'), and a UTF-8 line among Big5 or\n"
    "GB2312 lines keeps its bytes; --force converts them all.  Another\n"
    "conversion in the same folders, an original that cannot be kept, or a\n"
    "backup copy that cannot be made stops the run before the file is touched.\n"
    "Exit codes: 0 every file converted (or left out as above), 1 a file\n"
    "failed or was not found (the message names it; the files before it stay\n"
    "converted, those after it untouched), 2 a usage error.\n";

// The defaults of list and convert: the settings file's values, or none.
std::optional<Settings> LoadDefaults(const std::string& explicit_path) {
  if (!explicit_path.empty() && !PathExists(explicit_path)) throw EFOpenError(explicit_path);
  const std::string path = explicit_path.empty() ? SettingsReadPath(CurrentPlaces()) : explicit_path;
  if (!PathExists(path)) return std::nullopt;
  return ForFile(path, [&] { return LoadSettings(path, ProgramSettingsContext()); });
}

bool IsProjectFile(const std::string& path) {
  const std::string extension = UpperExtensionOf(path);
  return extension == ".DPR" || extension == ".DPK";
}

BackupMode ParseBackupMode(const std::string& value) {
  if (value == "copy") return BackupMode::kCopyToFolder;
  if (value == "compression") return BackupMode::kCompression;
  throw UsageError("convert: --backup-mode takes 'copy' or 'compression', not '" + value + "'");
}

Engine ParseEngine(const std::string& value) {
  if (value == "builtin" || value == "itself") return Engine::kItSelf;
  if (value == "external" || value == "concmd") return Engine::kConCmd;
  throw UsageError("convert: --engine takes 'builtin' or 'external', not '" + value + "'");
}

// What bgconv convert was asked; a value not given comes from the settings.
struct ConvertOptions {
  std::optional<Direction> direction;
  bool to_utf8 = false;
  std::optional<Direction> from;  // the direction whose source code page --from names
  std::optional<bool> bom;
  std::optional<Script> script;
  std::optional<OverwriteMode> overwrite;
  std::optional<bool> backup;
  std::optional<std::string> backup_folder;
  std::optional<BackupMode> backup_mode;
  std::optional<bool> add_config;
  std::optional<bool> change_default;
  std::optional<Engine> engine;
  int code_page = 0;
  std::optional<std::chrono::seconds> timeout;
  bool quiet = false;
  bool sync = false;
  bool force = false;
  std::string settings_path;
  std::vector<std::string> operands;
};

// The options of the command line; none after --help, which is answered.
std::optional<ConvertOptions> ParseConvertOptions(Arguments& args, std::ostream& out) {
  ConvertOptions options;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      out << kConvertUsage;
      return std::nullopt;
    }
    if (*option == "--to") {
      const std::string value = args.Value();
      options.to_utf8 = value == "utf8";
      if (!options.to_utf8) options.direction = ParseDirection(value, "convert");
    } else if (*option == "--from") {
      options.from = ParseSourceCodePage(args.Value(), "convert");
    } else if (*option == "--no-bom") {
      options.bom = false;
    } else if (*option == "--script") {
      options.script = ParseScript(args.Value(), "convert");
    } else if (*option == "--keep-original") {
      options.overwrite = OverwriteMode::kChangeExtension;
    } else if (*option == "--overwrite") {
      options.overwrite = OverwriteMode::kOverwrite;
    } else if (*option == "--backup") {
      options.backup_folder = args.Value();
      if (options.backup_folder->empty()) throw UsageError("convert: --backup needs a folder");
      options.backup = true;
    } else if (*option == "--no-backup") {
      options.backup = false;
    } else if (*option == "--backup-mode") {
      options.backup_mode = ParseBackupMode(args.Value());
    } else if (*option == "--no-config" || *option == "--config") {
      options.add_config = *option == "--config";
    } else if (*option == "--change-default-charset" || *option == "--no-change-default-charset") {
      options.change_default = *option == "--change-default-charset";
    } else if (*option == "--acp") {
      options.code_page = ParseCodePage(args.Value(), "convert");
    } else if (*option == "--engine") {
      options.engine = ParseEngine(args.Value());
    } else if (*option == "--timeout") {
      options.timeout = ParseTimeout(args.Value(), "convert");
    } else if (*option == "--quiet") {
      options.quiet = true;
    } else if (*option == "--sync") {
      options.sync = true;
    } else if (*option == "--force") {
      options.force = true;
    } else if (*option == "--settings") {
      options.settings_path = args.Value();
      if (options.settings_path.empty()) throw UsageError("convert: --settings needs a path");
    } else {
      args.Unknown(*option);
    }
  }
  options.operands = args.Operands();
  if (options.to_utf8 && !options.from) throw UsageError("convert: --to utf8 needs --from big5 or --from gb");
  if (!options.to_utf8 && (options.from || options.bom || options.script))
    throw UsageError("convert: --from, --no-bom and --script go with --to utf8");
  if (options.to_utf8 && options.engine == Engine::kConCmd)
    throw UsageError("convert: --to utf8 converts with the built-in engine only");
  if (options.operands.empty()) throw UsageError("convert: needs a PROJECT or at least one FILE");
  if (options.operands.size() > 1)
    for (const auto& operand : options.operands)
      if (IsProjectFile(operand)) throw UsageError("convert: a project file must be the only operand");
  return options;
}

// The run's inputs but its rows: each option, or the settings' value, or the
// default.
ConversionInputs InputsOf(const ConvertOptions& options, const std::optional<Settings>& settings) {
  if (!options.direction && !options.to_utf8 && !settings)
    throw UsageError("convert: --to gb, --to big5 or --to utf8 is required (there is no settings file)");
  const Settings defaults = settings ? *settings : DefaultSettings(ProgramSettingsContext());
  ConversionInputs inputs;
  inputs.direction = options.from.value_or(options.direction.value_or(defaults.code_direction));
  if (options.to_utf8) inputs.utf8 = Utf8Target{options.bom.value_or(true), options.script.value_or(Script::kKeep)};
  inputs.engine = options.engine.value_or(defaults.convert_engine);
  inputs.overwrite = options.overwrite.value_or(defaults.overwrite);
  inputs.backup = options.backup.value_or(defaults.backup_original);
  inputs.backup_mode = options.backup_mode.value_or(defaults.backup_mould);
  inputs.change_default_charset = options.change_default.value_or(defaults.change_default_charset);
  inputs.ansi_code_page = options.code_page;
  inputs.timeout = options.timeout;
  inputs.write_options.durable = options.sync;
  inputs.force = options.force;
  if (inputs.backup) {
    if (options.backup_folder) {
      inputs.backup_path = EnsureTrailingBackslash(AbsolutePath(*options.backup_folder));
    } else if (settings) {
      inputs.backup_path = settings->backup_folder;
    } else {
      throw UsageError("convert: --backup needs a folder");
    }
  }
  // Now, before the project's scan makes its folder the current one.
  inputs.work_folder = EnsureTrailingBackslash(AbsolutePath(defaults.work_folder));
  inputs.engine_parameter = defaults.engine_parameter;
  return inputs;
}

// The rows of the project, or of the named files, each of which must be
// there before any is touched: a mistyped name stops the run instead of
// leaving it half done.
void AddRows(const ConvertOptions& options, const std::optional<Settings>& settings, ConversionInputs& inputs) {
  Workspace workspace;
  const std::string& first = options.operands.front();
  if (IsProjectFile(first)) {
    workspace.SetAddConfigFiles(options.add_config.value_or(settings ? settings->add_config_files : true));
    ForFile(first, [&] { workspace.OpenProject(first); });
    inputs.project_path = workspace.ProjectPath();
  } else {
    for (const auto& operand : options.operands) {
      std::error_code error;
      if (!PathExists(operand) || std::filesystem::is_directory(operand, error)) throw EFOpenError(operand);
    }
    for (const auto& operand : options.operands) workspace.AddFileRow(operand);
  }
  inputs.rows = workspace.Rows();
}

// What the run left out, also under --quiet; the exit status.
int Report(const ConversionSummary& summary, std::ostream& err) {
  for (const auto& path : summary.missing_paths) err << "bgconv: not converted, file not found: " << path << '\n';
  for (const auto& path : summary.not_text_paths) err << "bgconv: left as it was, not text: " << path << '\n';
  for (const auto& file : summary.not_source_files)
    err << "bgconv: left as it was, " << file.reason << ": " << file.path << '\n';
  for (const auto& path : summary.not_converted_paths)
    err << "bgconv: not converted, the external converter gave no copy back: " << path << '\n';
  return summary.missing_paths.empty() && summary.not_converted_paths.empty() ? kExitOk : kExitFailure;
}

// The backup folder must be there before the first copy; the window makes
// it when it starts.
void EnsureBackupFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder, error))
    throw Exception("Cannot create the backup folder " + folder + (error ? ": " + error.message() : ""));
}

}  // namespace

int RunList(Arguments& args, Io io) {
  std::optional<bool> add_config;
  std::string settings_path;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kListUsage;
      return kExitOk;
    }
    if (*option == "--no-config") {
      add_config = false;
    } else if (*option == "--config") {
      add_config = true;
    } else if (*option == "--settings") {
      settings_path = args.Value();
      if (settings_path.empty()) throw UsageError("list: --settings needs a path");
    } else {
      args.Unknown(*option);
    }
  }
  if (args.Operands().size() != 1) throw UsageError("list: takes one PROJECT");

  const auto settings = LoadDefaults(settings_path);
  Workspace workspace;
  workspace.SetAddConfigFiles(add_config.value_or(settings ? settings->add_config_files : true));
  const std::string& project = args.Operands()[0];
  ForFile(project, [&] { workspace.OpenProject(project); });
  for (const auto& row : workspace.Rows())
    io.out << row.caption << '\t' << row.size << '\t' << row.code << '\t' << row.path << '\t' << FileClassName(row.path)
           << '\n';
  io.out.flush();
  if (!io.out) throw Exception("cannot write to standard output");
  return kExitOk;
}

int RunConvert(Arguments& args, Io io) {
  const auto options = ParseConvertOptions(args, io.out);
  if (!options) return kExitOk;
  const auto settings = LoadDefaults(options->settings_path);
  ConversionInputs inputs = InputsOf(*options, settings);
  AddRows(*options, settings, inputs);
  if (inputs.backup && inputs.backup_mode == BackupMode::kCopyToFolder) EnsureBackupFolder(inputs.backup_path);

  // Only the process's own standard error can be a terminal.
  const bool terminal = &io.err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
  ConsoleObserver observer(io.err, terminal, options->quiet, inputs.rows.size());
  return Report(ConvertAll(inputs, observer), io.err);
}

}  // namespace bgconv::cli
