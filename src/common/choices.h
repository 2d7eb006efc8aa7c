#pragma once
// The choices of the main window's radio groups, as values that say what
// they mean.  A radio index becomes one of them once, in the window, and a
// number stored in the settings file once, where the settings are read;
// everything in between passes the named value.

#include <optional>

namespace bgconv {

// "Co&de Type".
enum class Direction {
  kBigToGb,  // "BIG->GB": Big5 to GB2312
  kGbToBig,  // "GB->BIG ": GB2312 to Big5
};

// "Convert Engine".
enum class Engine {
  kItSelf,  // "ItSelf": the built-in tables
  kConCmd,  // "ConCmd 1.5": the external converter over the work folder
};

// "Overwrite".
enum class OverwriteMode {
  kChangeExtension,  // "Change Original File Extension": the original is kept as .Big / .GB
  kOverwrite,        // "Overwrite Original File"
};

// "Backup File mould".
enum class BackupMode {
  kCompression,   // "Compression": not supported
  kCopyToFolder,  // "Copy To New Folder"
};

// The hanzi of a conversion to UTF-8: as they are, or converted word by word
// to the mainland's simplified or Taiwan's traditional forms.
enum class Script {
  kKeep,
  kSimplified,
  kTraditional,
};

// A conversion to UTF-8 instead of the other code page: from the source code
// page of the run's direction, with or without a byte order mark.
struct Utf8Target {
  bool bom = true;  // Delphi reads a file with one as UTF-8; Free Pascal wants none
  Script script = Script::kKeep;
};

// The radio index of a choice, which is also the number the settings file
// stores for it.
template <typename Choice>
constexpr int IndexOf(Choice choice) {
  return static_cast<int>(choice);
}

// The choice at a radio index or stored number; none for anything but the
// two items (a radio group without a selection gives -1).
template <typename Choice>
constexpr std::optional<Choice> ChoiceAt(int index) {
  if (index != 0 && index != 1) return std::nullopt;
  return static_cast<Choice>(index);
}

constexpr Direction Reversed(Direction direction) {
  return direction == Direction::kBigToGb ? Direction::kGbToBig : Direction::kBigToGb;
}

}  // namespace bgconv
