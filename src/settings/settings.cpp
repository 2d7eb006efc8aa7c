#include "settings/settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "settings/font_ini_file.h"

namespace bgconv {
namespace {

// The radio groups of the window hold two items each.
constexpr int kChoiceItems = 2;

int ReadChoice(const TFontIniFile& store, std::string_view key, int default_value) {
  const int value = store.ReadNumber(kOptionSection, key, default_value);
  return (value >= 0 && value < kChoiceItems) ? value : default_value;
}

std::string ReadFolder(const TFontIniFile& store, std::string_view key, const std::string& default_value,
                       char separator) {
  const std::string value = store.ReadText(kOptionSection, key, default_value);
  // The folders are used as plain prefixes of file names: without their
  // separator the files would land beside the folder, and an empty one would
  // put them into whatever folder is current.
  if (value.empty()) return default_value;
  return EnsureTrailingSeparator(value, separator);
}

std::string SubfolderOfExe(const SettingsContext& context, std::string_view name) {
  return context.exe_folder + std::string(name) + context.separator;
}

bool IsWritableFolder(const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

}  // namespace

Font DesignFont() {
  Font font;
  font.name = "\xB2\xD3\xA9\xFA\xC5\xE9";  // 細明體
  font.size = 9;
  font.charset = kBig5Charset;
  return font;
}

ViewFonts DesignFonts() { return {DesignFont(), DesignFont(), DesignFont(), DesignFont()}; }

SettingsContext ProgramSettingsContext() {
  const ProgramPlaces places = CurrentPlaces();
  return {ExecutableFolder(), DesignFonts(), kPathSeparator, places.work_folder, places.backup_folder};
}

std::string DefaultEnginePath(const SettingsContext& context) {
  // The converter's program file as this platform names it: the window asks
  // for the setup dialog whenever the path names no file.
  return SubfolderOfExe(context, "ConCmd") + (context.separator == '\\' ? "ConCmd.exe" : "ConCmd");
}

Settings DefaultSettings(const SettingsContext& context) {
  Settings settings;
  settings.fonts = context.design_fonts;
  settings.work_folder = context.work_folder.empty() ? SubfolderOfExe(context, "Conver") : context.work_folder;
  settings.backup_folder = context.backup_folder.empty() ? SubfolderOfExe(context, "Backup") : context.backup_folder;
  return settings;
}

Settings LoadSettings(const std::string& path, const SettingsContext& context) {
  const TFontIniFile store(path);
  Settings settings = DefaultSettings(context);

  store.ReadFont(kViewSection, "FileListFont", settings.fonts.file_list);
  store.ReadFont(kViewSection, "DebugListFont", settings.fonts.debug_list);
  store.ReadFont(kViewSection, "memo1Font", settings.fonts.memo1);
  store.ReadFont(kViewSection, "memo2Font", settings.fonts.memo2);

  settings.code_direction = ReadChoice(store, "DefLan", settings.code_direction);
  settings.add_config_files = store.ReadFlag(kOptionSection, "AddConfigFile", settings.add_config_files);
  settings.backup_original = store.ReadFlag(kOptionSection, "BackUporiginal", settings.backup_original);
  settings.convert_engine = ReadChoice(store, "ConvertEngine", settings.convert_engine);
  settings.overwrite = ReadChoice(store, "Overwrite", settings.overwrite);
  settings.backup_mould = ReadChoice(store, "BackupMould", settings.backup_mould);
  settings.work_folder = ReadFolder(store, "WorkConvertDir", settings.work_folder, context.separator);
  settings.backup_folder = ReadFolder(store, "BackupDir", settings.backup_folder, context.separator);
  settings.change_charset = ReadChoice(store, "ChagerCharset", settings.change_charset);

  if (settings.convert_engine == kEngineConCmd) {
    // An empty value is what a save without a path left: the default again.
    settings.engine_path = store.ReadText(kEngineSection, kEnginePathKey, "");
    if (settings.engine_path.empty()) settings.engine_path = DefaultEnginePath(context);
    settings.not_vocabulary = store.ReadFlag(kEngineSection, kNotVocabularyKey, false);
    if (settings.not_vocabulary) settings.engine_parameter = store.ReadText(kEngineSection, kEngineParameterKey, "");
  }
  return settings;
}

void SaveSettings(const std::string& path, const Settings& settings) {
  TFontIniFile store(path);

  store.WriteFont(kViewSection, "FileListFont", settings.fonts.file_list);
  store.WriteFont(kViewSection, "DebugListFont", settings.fonts.debug_list);
  store.WriteFont(kViewSection, "memo1Font", settings.fonts.memo1);
  store.WriteFont(kViewSection, "memo2Font", settings.fonts.memo2);

  store.WriteNumber(kOptionSection, "DefLan", settings.code_direction);
  store.WriteFlag(kOptionSection, "AddConfigFile", settings.add_config_files);
  store.WriteFlag(kOptionSection, "BackUporiginal", settings.backup_original);
  store.WriteNumber(kOptionSection, "ConvertEngine", settings.convert_engine);
  store.WriteNumber(kOptionSection, "Overwrite", settings.overwrite);
  store.WriteNumber(kOptionSection, "BackupMould", settings.backup_mould);
  store.WriteText(kOptionSection, "WorkConvertDir", settings.work_folder);
  store.WriteText(kOptionSection, "BackupDir", settings.backup_folder);
  store.WriteNumber(kOptionSection, "ChagerCharset", settings.change_charset);

  // The engine path is only loaded with the ConCmd engine; a run that started
  // with the built-in one has none and must not wipe the path the user set up.
  if (!settings.engine_path.empty() || store.ReadText(kEngineSection, kEnginePathKey, "").empty())
    store.WriteText(kEngineSection, kEnginePathKey, settings.engine_path);

  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code ignored;  // a folder that cannot be made fails the save below
    std::filesystem::create_directories(folder, ignored);
  }
  store.SaveFile();
}

void SetPreviewCharsets(ViewFonts& fonts, int code_direction) {
  const bool from_big5 = code_direction == 0;
  fonts.memo1.charset = from_big5 ? kBig5Charset : kGb2312Charset;
  fonts.memo2.charset = from_big5 ? kGb2312Charset : kBig5Charset;
}

namespace {

// The value of the environment variable `name` when it is an absolute path.
std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == kPathSeparator ? value : "";
}

// `folder` when it is set, else `fallback` below the home folder; then
// "bgconv" and `name` below that.  Empty when neither is known.
std::string UserSubfolder(const std::string& folder, const std::string& home, std::string_view fallback,
                          std::string_view name) {
  std::string base = folder;
  if (base.empty()) {
    if (home.empty()) return {};
    base = EnsureTrailingBackslash(home) + std::string(fallback);
  }
  return EnsureTrailingBackslash(base) + "bgconv" + kPathSeparator + std::string(name);
}

}  // namespace

ProgramPlaces ChoosePlaces(const std::string& exe_folder, const UserFolders& user) {
  const std::string beside = EnsureTrailingBackslash(exe_folder);
  ProgramPlaces places{beside + std::string(kSettingsFileName), "", beside + "Conver" + kPathSeparator,
                       beside + "Backup" + kPathSeparator};
  if (IsWritableFolder(beside)) return places;

  const std::string settings = UserSubfolder(user.config_home, user.home, ".config", kSettingsFileName);
  if (settings.empty()) return places;  // nowhere better to go; the save will say why it fails
  if (::access(places.settings_path.c_str(), R_OK) == 0) places.preset_path = places.settings_path;
  places.settings_path = settings;
  places.work_folder = UserSubfolder(user.cache_home, user.home, ".cache", "Conver") + kPathSeparator;
  places.backup_folder = UserSubfolder(user.data_home, user.home, ".local/share", "Backup") + kPathSeparator;
  return places;
}

UserFolders CurrentUserFolders() {
  return {AbsoluteVariable("XDG_CONFIG_HOME"), AbsoluteVariable("XDG_CACHE_HOME"), AbsoluteVariable("XDG_DATA_HOME"),
          HomeFolder()};
}

ProgramPlaces CurrentPlaces() { return ChoosePlaces(ExecutableFolder(), CurrentUserFolders()); }

std::string SettingsPath() { return CurrentPlaces().settings_path; }

std::string SettingsReadPath(const ProgramPlaces& places) {
  if (places.preset_path.empty() || PathExists(places.settings_path)) return places.settings_path;
  return PathExists(places.preset_path) ? places.preset_path : places.settings_path;
}

}  // namespace bgconv
