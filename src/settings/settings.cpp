#include "settings/settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <type_traits>
#include <vector>

#include "platform/paths.h"
#include "settings/font_ini_file.h"

namespace bgconv {
namespace {

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
  if (context.separator == '\\') return SubfolderOfExe(context, "ConCmd") + "ConCmd.exe";
  return ConverterFolderOf(context.exe_folder) + "ConCmd";
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
  // The walk reads ConvertEngine and NotVocabulary before the cpEng keys
  // that depend on them.
  const auto concmd = [&] { return settings.convert_engine == Engine::kConCmd; };
  ForEachSettingsKey(settings, [&](KeyKind kind, std::string_view section, std::string_view key, auto& member) {
    using Member = std::remove_cvref_t<decltype(member)>;
    if constexpr (std::is_same_v<Member, Font>) {
      store.ReadFont(section, key, member);
    } else if constexpr (std::is_same_v<Member, bool>) {
      if (kind == KeyKind::kChangeDefault) {
        const int index = store.ReadNumber(section, key, member ? 0 : 1);
        if (index == 0 || index == 1) member = index == 0;
      } else if (kind == KeyKind::kFlag || concmd()) {
        member = store.ReadFlag(section, key, member);
      }
    } else if constexpr (std::is_same_v<Member, std::string>) {
      if (kind == KeyKind::kFolder) {
        member = ReadFolder(store, key, member, context.separator);
      } else if (kind == KeyKind::kEnginePath && concmd()) {
        // An empty value is what a save without a path left: the default again.
        member = store.ReadText(section, key, "");
        if (member.empty()) member = DefaultEnginePath(context);
      } else if (kind == KeyKind::kEngineOption && concmd() && settings.not_vocabulary) {
        member = store.ReadText(section, key, "");
      }
    } else {
      member = ChoiceAt<Member>(store.ReadNumber(section, key, IndexOf(member))).value_or(member);
    }
  });
  return settings;
}

void SaveSettings(const std::string& path, const Settings& settings) {
  TFontIniFile store(path);
  ForEachSettingsKey(settings, [&](KeyKind kind, std::string_view section, std::string_view key, const auto& member) {
    // The engine's options belong to the setup dialog, which saves them.
    if (kind == KeyKind::kEngineOption) return;
    // The engine path is only loaded with the ConCmd engine; a run that
    // started with the built-in one has none and must not wipe the path the
    // user set up.
    if (kind == KeyKind::kEnginePath && StoredValue(kind, member).empty() && !store.ReadText(section, key, "").empty())
      return;
    store.WriteText(section, key, StoredValue(kind, member));
  });

  const auto folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code ignored;  // a folder that cannot be made fails the save below
    std::filesystem::create_directories(folder, ignored);
  }
  store.SaveFile();
}

std::string StoredValue(KeyKind, const Font& font) { return FontToString(font); }

std::string StoredValue(KeyKind kind, bool flag) {
  // "Chager Charset" stores the radio index: 0 is "Chager Default Charset".
  if (kind == KeyKind::kChangeDefault) flag = !flag;
  return flag ? "1" : "0";
}

std::string StoredValue(KeyKind, const std::string& text) { return text; }

bool KeyCounts(const Settings& settings, KeyKind kind, std::string_view key) {
  if (kind != KeyKind::kEnginePath && kind != KeyKind::kEngineOption) return true;
  if (settings.convert_engine != Engine::kConCmd) return false;
  return key != kEngineParameterKey || settings.not_vocabulary;
}

void SetPreviewCharsets(ViewFonts& fonts, Direction code_direction) {
  const bool from_big5 = code_direction == Direction::kBigToGb;
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
  // An installed tree is never written, even where its user may write it
  // (installed below the home folder).
  if (IsWritableFolder(beside) && !IsInstalledProgramFolder(beside)) return places;

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
