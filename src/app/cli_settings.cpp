#include <iostream>
#include <type_traits>

#include "app/cli.h"
#include "platform/ansi_codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "settings/settings.h"

namespace bgconv::cli {
namespace {

constexpr std::string_view kSettingsUsage =
    "Usage: bgconv settings [--file PATH] [--raw]\n"
    "Shows the settings file in use and the values the program takes from it,\n"
    "one section.key=value per line (a key missing from the file shows its\n"
    "default).  The cpEng keys count only with the ConCmd engine\n"
    "(cpOption.ConvertEngine=1), and cpEng.Parameter only with\n"
    "cpEng.NotVocabulary=1; the others are not shown.\n"
    "\n"
    "The settings file, bgconv.ini, is shared with bgconv-gui.  It lies beside\n"
    "the programs when their folder is writable; otherwise (an installed\n"
    "program) in $XDG_CONFIG_HOME/bgconv/ (~/.config/bgconv/ by default), and a\n"
    "bgconv.ini beside the programs is read while the user has none of their\n"
    "own.  Font names are stored in Big5 and shown in UTF-8.\n"
    "\n"
    "  --file PATH   show the values of PATH instead\n"
    "  --raw         show font names as the bytes stored\n";

void Show(std::ostream& out, std::string_view section, std::string_view key, const std::string& value) {
  out << section << '.' << key << '=' << value << '\n';
}

// The font's text with its name as the window reads it (Big5), in UTF-8.
std::string FontText(Font font, bool raw) {
  if (!raw) font.name = WideToUtf8(AnsiCodePage(kCodePageBig5).ToWide(font.name));
  return FontToString(font);
}

}  // namespace

int RunSettings(Arguments& args, Io io) {
  std::string path;
  bool raw = false;
  while (auto option = args.NextOption()) {
    if (*option == "--help" || *option == "-h") {
      io.out << kSettingsUsage;
      return kExitOk;
    }
    if (*option == "--file") {
      path = args.Value();
      if (path.empty()) throw UsageError("settings: --file needs a path");
    } else if (*option == "--raw") {
      raw = true;
    } else {
      args.Unknown(*option);
    }
  }
  if (!args.Operands().empty()) throw UsageError("settings: takes no operands");
  std::string read_from = path;
  if (path.empty()) {
    const ProgramPlaces places = CurrentPlaces();
    path = places.settings_path;
    read_from = SettingsReadPath(places);
  }

  const Settings settings = ForFile(read_from, [&] { return LoadSettings(read_from, ProgramSettingsContext()); });
  auto& out = io.out;
  out << "settings file: " << path;
  if (read_from != path) {
    out << " (not created yet; the values are those of " << read_from << ")";
  } else if (!PathExists(path)) {
    out << " (not created yet)";
  }
  out << '\n';
  ForEachSettingsKey(settings, [&](KeyKind kind, std::string_view section, std::string_view key, const auto& member) {
    if (!KeyCounts(settings, kind, key)) return;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(member)>, Font>) {
      Show(out, section, key, FontText(member, raw));
    } else {
      Show(out, section, key, StoredValue(kind, member));
    }
  });
  out.flush();
  if (!out) throw Exception("cannot write to standard output");
  return kExitOk;
}

}  // namespace bgconv::cli
