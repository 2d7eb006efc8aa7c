#pragma once
// The program's own settings: the fonts of the four text controls and the
// options of the main window, kept in an ini file with the sections cpView,
// cpOption and cpEng.  The settings travel as one plain value: the window
// moves it to and from its controls, the command line takes its defaults
// from it.

#include <string>
#include <string_view>

#include "platform/paths.h"
#include "settings/font_string.h"

namespace bgconv {

inline constexpr std::string_view kViewSection = "cpView";
inline constexpr std::string_view kOptionSection = "cpOption";
inline constexpr std::string_view kEngineSection = "cpEng";

inline constexpr std::string_view kEnginePathKey = "FilePath";
inline constexpr std::string_view kEngineParameterKey = "Parameter";
inline constexpr std::string_view kNotVocabularyKey = "NotVocabulary";

// The engine choice ("ConvertEngine").
enum EngineChoice : int {
  kEngineItSelf = 0,  // the built-in tables
  kEngineConCmd = 1,  // ConCmd 1.5
};

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
  int code_direction = 1;        // DefLan: 0 "BIG->GB", 1 "GB->BIG "
  bool add_config_files = true;  // AddConfigFile: "Add Config Files"
  bool backup_original = false;  // BackUporiginal: "&Backup original"
  int convert_engine = kEngineItSelf;  // ConvertEngine
  int overwrite = 1;             // Overwrite: 0 "Change Original File Extension", 1 "Overwrite Original File"
  int backup_mould = 1;          // BackupMould: 0 "Compression", 1 "Copy To New Folder"
  std::string work_folder;       // WorkConvertDir, ends in a separator
  std::string backup_folder;     // BackupDir, ends in a separator; saved as loaded (edBakPath is apart)
  int change_charset = 1;        // ChagerCharset: 0 "Chager Default Charset", 1 "Don't Care"
  // cpEng, read only when the loaded engine is ConCmd; empty otherwise.
  std::string engine_path;       // FilePath
  bool not_vocabulary = false;   // NotVocabulary
  std::string engine_parameter;  // Parameter, read only when NotVocabulary is set
  bool operator==(const Settings&) const = default;
};

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
// so their charsets follow the code direction: 0 is Big5 to GB2312 (136, 134),
// 1 the other way (134, 136).
void SetPreviewCharsets(ViewFonts& fonts, int code_direction);

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
