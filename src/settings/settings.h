#pragma once
// The program's own settings: the fonts of the four text controls and the
// options of the main window, kept in an ini file with the sections cpView,
// cpOption and cpEng.  The settings travel as one plain value: the window
// moves it to and from its controls, the command line takes its defaults
// from it.

#include <string>
#include <string_view>

#include "common/choices.h"
#include "platform/paths.h"
#include "settings/font_string.h"

namespace bgconv {

inline constexpr std::string_view kViewSection = "cpView";
inline constexpr std::string_view kOptionSection = "cpOption";
inline constexpr std::string_view kEngineSection = "cpEng";

inline constexpr std::string_view kEnginePathKey = "FilePath";
inline constexpr std::string_view kEngineParameterKey = "Parameter";
inline constexpr std::string_view kNotVocabularyKey = "NotVocabulary";

struct ViewFonts {
  Font file_list;   // FileListFont: the file list
  Font debug_list;  // DebugListFont: the log list
  Font memo1;       // memo1Font: the left preview (source text)
  Font memo2;       // memo2Font: the right preview (converted text)
  bool operator==(const ViewFonts&) const = default;
};

// What the defaults depend on: where the program lives and how the window
// was designed.
struct SettingsContext {
  std::string exe_folder;  // ends in `separator`
  ViewFonts design_fonts;
  char separator = kPathSeparator;
  // The default work and backup folders; empty: "Conver" and "Backup" in
  // the program's folder.
  std::string work_folder{};
  std::string backup_folder{};
};

struct Settings {
  ViewFonts fonts;
  Direction code_direction = Direction::kGbToBig;
  bool add_config_files = true;  // "Add Config Files"
  bool backup_original = false;  // "&Backup original"
  Engine convert_engine = Engine::kItSelf;
  OverwriteMode overwrite = OverwriteMode::kOverwrite;
  BackupMode backup_mould = BackupMode::kCopyToFolder;
  std::string work_folder;    // ends in a separator
  std::string backup_folder;  // ends in a separator; saved as loaded (edBakPath is apart)
  // "Chager Default Charset" (stored as ChagerCharset=0) or "Don't Care" (1).
  bool change_default_charset = false;
  // cpEng, read only when the loaded engine is ConCmd; empty otherwise.
  std::string engine_path;
  bool not_vocabulary = false;
  std::string engine_parameter;  // read only when not_vocabulary is set
  bool operator==(const Settings&) const = default;
};

// Every key of the settings file with the member that holds it, in the
// order of the file: loading, saving and `bgconv settings` walk this one
// list, so a key is spelt in one place.  `visit` is called as
// visit(kind, section, key, member) for each, kind telling how the value is
// stored.
enum class KeyKind {
  kFont,           // "name,size,style,pitch,colour,charset"
  kChoice,         // a radio index: 0 or 1
  kFlag,           // 1 or 0
  kFolder,         // a folder; empty means the default, a separator is added
  kChangeDefault,  // the "Chager Charset" radio index: 0 means change
  kEnginePath,     // cpEng: read only with the ConCmd engine; an empty one is never saved over a path
  kEngineOption,   // cpEng: read only with the ConCmd engine, saved by the setup dialog only
};

template <typename SettingsT, typename Visit>
void ForEachSettingsKey(SettingsT& s, Visit&& visit) {
  visit(KeyKind::kFont, kViewSection, "FileListFont", s.fonts.file_list);
  visit(KeyKind::kFont, kViewSection, "DebugListFont", s.fonts.debug_list);
  visit(KeyKind::kFont, kViewSection, "memo1Font", s.fonts.memo1);
  visit(KeyKind::kFont, kViewSection, "memo2Font", s.fonts.memo2);
  visit(KeyKind::kChoice, kOptionSection, "DefLan", s.code_direction);
  visit(KeyKind::kFlag, kOptionSection, "AddConfigFile", s.add_config_files);
  visit(KeyKind::kFlag, kOptionSection, "BackUporiginal", s.backup_original);
  visit(KeyKind::kChoice, kOptionSection, "ConvertEngine", s.convert_engine);
  visit(KeyKind::kChoice, kOptionSection, "Overwrite", s.overwrite);
  visit(KeyKind::kChoice, kOptionSection, "BackupMould", s.backup_mould);
  visit(KeyKind::kFolder, kOptionSection, "WorkConvertDir", s.work_folder);
  visit(KeyKind::kFolder, kOptionSection, "BackupDir", s.backup_folder);
  visit(KeyKind::kChangeDefault, kOptionSection, "ChagerCharset", s.change_default_charset);
  visit(KeyKind::kEnginePath, kEngineSection, kEnginePathKey, s.engine_path);
  visit(KeyKind::kEngineOption, kEngineSection, kNotVocabularyKey, s.not_vocabulary);
  visit(KeyKind::kEngineOption, kEngineSection, kEngineParameterKey, s.engine_parameter);
}

// A member's value as the file stores it.
std::string StoredValue(KeyKind kind, const Font& font);
std::string StoredValue(KeyKind kind, bool flag);
std::string StoredValue(KeyKind kind, const std::string& text);
template <typename Choice>
std::string StoredValue(KeyKind, Choice choice) {
  return std::to_string(IndexOf(choice));
}

// Whether `bgconv settings` shows the key: the cpEng keys count only with the
// ConCmd engine, Parameter only with NotVocabulary.
bool KeyCounts(const Settings& settings, KeyKind kind, std::string_view key);

// The font the window's four text controls are designed with: 細明體 (as its
// Big5 bytes), 12 pixels high (9 points at 96 pixels per inch), charset Big5.
Font DesignFont();
ViewFonts DesignFonts();

// The context of the running program.
SettingsContext ProgramSettingsContext();

// The settings of a first run: every key at its default.
Settings DefaultSettings(const SettingsContext& context);

// Reads the file at `path`; a missing file gives DefaultSettings.  Fails with
// EFOpenError when the file exists but cannot be read.  A choice outside its
// items reads as its default, as does an empty folder; a folder gets its
// trailing separator.
Settings LoadSettings(const std::string& path, const SettingsContext& context);

// Writes the keys of `settings` into the file at `path`, keeping the keys it
// does not write.  An empty engine path never replaces a stored one.  Creates
// the file's folder when it is missing.  Fails with EFOpenError or
// EFCreateError naming the file.
void SaveSettings(const std::string& path, const Settings& settings);

// The preview panes show the source on the left and the target on the right,
// so their charsets follow the code direction: "BIG->GB" gives (136, 134),
// "GB->BIG " the other way (134, 136).
void SetPreviewCharsets(ViewFonts& fonts, Direction code_direction);

// The default engine path: the exe folder followed by "ConCmd", the separator
// and "ConCmd.exe".
std::string DefaultEnginePath(const SettingsContext& context);

// The user's folders by the XDG base directory rules: each is the value of
// its variable when that is an absolute path; empty means unset.
struct UserFolders {
  std::string config_home;  // $XDG_CONFIG_HOME, else home + "/.config"
  std::string cache_home;   // $XDG_CACHE_HOME, else home + "/.cache"
  std::string data_home;    // $XDG_DATA_HOME, else home + "/.local/share"
  std::string home;         // $HOME, else the user's entry in the password file
};

// Where the programs keep their files.  Both programs share one settings
// file, bgconv.ini.  A program in a folder its user may write (unpacked or
// built there) keeps everything beside itself; an installed one keeps the
// settings in the user's config folder, the work folder in the cache folder
// and the backups in the data folder, each under "bgconv/".
struct ProgramPlaces {
  std::string settings_path;  // read and saved
  // A readable bgconv.ini beside an installed program: what its
  // administrator preset, read while the user has no file of their own.
  std::string preset_path;
  std::string work_folder;    // ends in a separator
  std::string backup_folder;  // ends in a separator
};

inline constexpr std::string_view kSettingsFileName = "bgconv.ini";

ProgramPlaces ChoosePlaces(const std::string& exe_folder, const UserFolders& user);

// The user's folders from the environment of the running program.
UserFolders CurrentUserFolders();

// ChoosePlaces for the running program.
ProgramPlaces CurrentPlaces();

// The settings file the running program saves to.
std::string SettingsPath();

// The file to read the settings from: the user's file when it exists, else
// the administrator's preset when there is one, else the user's (missing)
// file.
std::string SettingsReadPath(const ProgramPlaces& places);

}  // namespace bgconv
