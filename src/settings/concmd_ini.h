#pragma once
// The settings of the external engine: the three options of ConCmd's own
// ConCmd.ini (section Data) that the setup dialog edits, its two readme
// files, and the cpEng keys of the program's settings file.

#include <string>
#include <string_view>

namespace bgconv {

inline constexpr std::string_view kConCmdSection = "Data";
inline constexpr std::string_view kDefaultIgnoreMasks =
    "*.exe,*.dll,*.com,*.sys,*.vxd,*.drv,*.zip,*.rar,*.xl?,*.bmp,*.gif,*.jpg,*.hlp,*.chm,*.pdf,*.au,*.mid,*.wav,"
    "*.mp3,*.class,*.swf,*.dat,*.ndx";
inline constexpr std::string_view kDefaultHtmlTypes = "*.htm*,*.shtm*,*.asp,*.apsx,*.php*,*.pl,*.cgi,*.js";
// Agegbfix and Ageb5fix always carry this value.
inline constexpr std::string_view kAgeFix = "762576896";
// The engine parameter of "Not Vocabulary Convert".
inline constexpr std::string_view kNotVocabularySwitch = "/f:d";

struct ConCmdOptions {
  std::string ignore_masks{kDefaultIgnoreMasks};  // Ignore
  bool fix_html_charset = true;                   // FixHtmlCharset
  std::string html_types{kDefaultHtmlTypes};      // HtmlType
  bool operator==(const ConCmdOptions&) const = default;
};

// A missing file or key reads as its default.  Fails with EFOpenError when
// the file exists but cannot be read.
ConCmdOptions LoadConCmdIni(const std::string& path);

// Writes Agegbfix, Ageb5fix, Ignore, FixHtmlCharset and HtmlType, in this
// order, keeping the file's other keys.  Fails with EFCreateError.
void SaveConCmdIni(const std::string& path, const ConCmdOptions& options);

struct ConCmdReadmes {
  std::string big5;  // readme_big5.txt, Big5 bytes
  std::string gb;    // readme_gb.txt, GB2312 bytes
};

// The two readme files in the folder of the ConCmd.ini at `ini_path`, as
// their bytes; a missing one is empty.
ConCmdReadmes LoadConCmdReadmes(const std::string& ini_path);

// The cpEng keys as the setup dialog shows and stores them.
struct EngineSetup {
  std::string engine_path;      // FilePath
  std::string parameter;        // Parameter
  bool not_vocabulary = false;  // NotVocabulary: "Not Vocabulary Convert"
  bool operator==(const EngineSetup&) const = default;
};

// "/f:d" when "Not Vocabulary Convert" is ticked, else empty.
std::string VocabularySwitch(bool not_vocabulary);

// Reads cpEng from the program's settings file, with `default_engine_path`
// for a missing FilePath.
EngineSetup LoadEngineSetup(const std::string& settings_path, const std::string& default_engine_path);

// Writes FilePath, Parameter and NotVocabulary into cpEng, keeping every
// other key of the file.  NotVocabulary is stored with the parameter because
// the settings load the parameter only when it is set: so the switch of
// "Not Vocabulary Convert" reaches ConCmd from the next start on.
void SaveEngineSetup(const std::string& settings_path, const EngineSetup& setup);

}  // namespace bgconv
