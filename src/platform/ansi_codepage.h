#pragma once
// The ANSI code page of the text the system handles: Big5 (950) or GB2312 (936).
// Both take 0x81-0xFE as lead bytes of a double-byte character, so every scan
// that must not look inside a character (case-insensitive matching, splitting
// strings) can step over a lead byte and its trail byte the same way.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/choices.h"

struct UConverter;

namespace bgconv {

constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// Upper case in the ANSI code page for a single-byte character: only ASCII
// letters change.  Callers never pass a trail byte here.
constexpr unsigned char AnsiUpper(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

// `text` without the bytes of value 32 or less at either end (blanks and
// control bytes).  No trail byte is this low, so a character is never split.
std::string_view TrimBlanks(std::string_view text);

// Length in bytes of the character that starts at text[pos]: 2 for a lead byte
// followed by another byte, otherwise 1.
std::size_t CharLengthAt(std::string_view text, std::size_t pos);

// True when `needle` (single-byte characters only) stands at `pos`, compared
// without regard to case.
bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle);

// True when `a` and `b` are the same text without regard to the case of
// single-byte letters; the bytes of a double-byte character compare as they are.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

inline constexpr int kCodePageBig5 = 950;
inline constexpr int kCodePageGb2312 = 936;

// The code page whose bytes a code direction starts from: Big5 for "BIG->GB"
// (0), GB2312 for "GB->BIG " (1).  Folded form captions are written in it, so
// that the converter then maps them like every other byte of the file.
int SourceCodePage(Direction direction);

// Conversions between the configured code page and UTF-16, through
// Microsoft's own tables as ICU carries them.  A byte sequence the code page
// does not define, and a character it cannot represent, become "?".
// An object serves one thread at a time.
class AnsiCodePage {
 public:
  // 950 or 936; any other number fails with an Exception.
  explicit AnsiCodePage(int code_page);
  AnsiCodePage(AnsiCodePage&&) noexcept;
  AnsiCodePage& operator=(AnsiCodePage&&) noexcept;
  ~AnsiCodePage();

  int Number() const { return number_; }
  static bool IsLeadByte(unsigned char byte) { return bgconv::IsLeadByte(byte); }

  std::u16string ToWide(std::string_view bytes) const;   // MultiByteToWideChar
  std::string FromWide(std::u16string_view text) const;  // WideCharToMultiByte

 private:
  struct CloseConverter {
    void operator()(UConverter* converter) const;
  };

  int number_;
  // ICU converters keep state between calls; each call resets it first.
  std::unique_ptr<UConverter, CloseConverter> converter_;
};

}  // namespace bgconv

namespace bgconv {

// True when the last character of `text` is the single byte `byte`, not the
// trail byte of a double-byte character that happens to have the same value
// (0x5C "\" and 0x5D "]" both occur as trail bytes).
bool EndsWithSingleByte(std::string_view text, char byte);

}  // namespace bgconv

namespace bgconv {

// `text` as UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::u16string_view text);

// `text` (UTF-8) as UTF-16; an ill-formed sequence becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view text);

// `bytes` of code page 950 or 936 decoded through Microsoft's tables, every
// byte sequence the code page does not define (a lead byte cut off, a pair
// without a character) written as U+FFFD and counted in `undecodable`.
std::u16string DecodeCodePage(std::string_view bytes, int code_page, std::size_t& undecodable);

}  // namespace bgconv
