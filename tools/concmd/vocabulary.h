#pragma once
// Vocabulary-aware conversion between Big5 and GB2312: the text is decoded
// from the source code page, converted by OpenCC's phrase dictionaries for
// Taiwan usage and encoded into the target code page.  Where a word decides
// the character (頭髮 and 發現 both become 发 in GB2312; back, 发 must become
// 髮 in one and 發 in the other), the phrase dictionaries pick it; the
// built-in tables see one character at a time and cannot.
//
// The built-in tables stay underneath: every byte that is not part of a
// character the source code page defines, and every character whose phrase
// result the target code page cannot hold, is converted by them, so nothing
// the tables would convert is lost.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codec/converter.h"
#include "platform/ansi_codepage.h"

namespace opencc {
class SimpleConverter;
}

namespace bgconv {

class VocabularyConverter {
 public:
  // For a code direction.  Loads OpenCC's "tw2s" or
  // "s2tw" configuration ("s2t" would give forms that Big5 lacks); fails with
  // an Exception when OpenCC cannot load it.
  explicit VocabularyConverter(Direction direction);
  VocabularyConverter(const VocabularyConverter&) = delete;
  VocabularyConverter& operator=(const VocabularyConverter&) = delete;
  ~VocabularyConverter();

  std::string Convert(std::string_view text) const;

 private:
  // The character of the pair lead/trail in the source code page, or 0 when
  // the code page defines none there (or a user-defined one).
  char16_t Decode(unsigned char lead, unsigned char trail) const;
  // The target code page's bytes for `code_point`; empty when it cannot hold
  // it (a substitute or a look-alike it would decode to something else).
  const std::string& Encode(char32_t code_point) const;
  // Converts a run of characters the source code page defines: `source` holds
  // their bytes, two per character, `wide` the characters.
  void ConvertRun(std::string_view source, const std::u16string& wide, std::string& out) const;

  AnsiCodePage source_;
  AnsiCodePage target_;
  std::unique_ptr<opencc::SimpleConverter> opencc_;
  std::optional<TBIG2GB> big5_to_gb_;
  std::optional<TGB2BIG> gb_to_big5_;
  const TableConverter* tables_ = nullptr;
  // Filled as pairs and characters are met.
  mutable std::vector<char32_t> decoded_;
  mutable std::unordered_map<char32_t, std::string> encoded_;
};

}  // namespace bgconv
