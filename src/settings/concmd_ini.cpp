#include "settings/concmd_ini.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "settings/font_ini_file.h"
#include "settings/settings.h"

namespace bgconv {
namespace {

// The file's bytes, or nothing when it does not exist; a file that exists
// but cannot be read fails with EFOpenError.
std::string ReadIfPresent(const std::string& path) { return PathExists(path) ? ReadWholeFile(path) : std::string(); }

}  // namespace

ConCmdOptions LoadConCmdIni(const std::string& path) {
  const TFontIniFile store(path);
  ConCmdOptions options;
  options.ignore_masks = store.ReadText(kConCmdSection, "Ignore", options.ignore_masks);
  options.fix_html_charset = store.ReadFlag(kConCmdSection, "FixHtmlCharset", options.fix_html_charset);
  options.html_types = store.ReadText(kConCmdSection, "HtmlType", options.html_types);
  return options;
}

void SaveConCmdIni(const std::string& path, const ConCmdOptions& options) {
  TFontIniFile store(path);
  store.WriteText(kConCmdSection, "Agegbfix", kAgeFix);
  store.WriteText(kConCmdSection, "Ageb5fix", kAgeFix);
  store.WriteText(kConCmdSection, "Ignore", options.ignore_masks);
  store.WriteFlag(kConCmdSection, "FixHtmlCharset", options.fix_html_charset);
  store.WriteText(kConCmdSection, "HtmlType", options.html_types);
  store.SaveFile();
}

ConCmdReadmes LoadConCmdReadmes(const std::string& ini_path) {
  const std::string folder = FolderOf(ini_path);
  return {ReadIfPresent(folder + "readme_big5.txt"), ReadIfPresent(folder + "readme_gb.txt")};
}

std::string VocabularySwitch(bool not_vocabulary) {
  return not_vocabulary ? std::string(kNotVocabularySwitch) : std::string();
}

EngineSetup LoadEngineSetup(const std::string& settings_path, const std::string& default_engine_path) {
  const TFontIniFile store(settings_path);
  EngineSetup setup;
  // An empty value is what a save without a path left: the default again.
  setup.engine_path = store.ReadText(kEngineSection, kEnginePathKey, "");
  if (setup.engine_path.empty()) setup.engine_path = default_engine_path;
  setup.parameter = store.ReadText(kEngineSection, kEngineParameterKey, "");
  setup.not_vocabulary = store.ReadFlag(kEngineSection, kNotVocabularyKey, false);
  return setup;
}

void SaveEngineSetup(const std::string& settings_path, const EngineSetup& setup) {
  TFontIniFile store(settings_path);
  store.WriteText(kEngineSection, kEnginePathKey, setup.engine_path);
  store.WriteText(kEngineSection, kEngineParameterKey, setup.parameter);
  store.WriteFlag(kEngineSection, kNotVocabularyKey, setup.not_vocabulary);
  store.SaveFile();
}

}  // namespace bgconv
