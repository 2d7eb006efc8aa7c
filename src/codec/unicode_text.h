#pragma once
// Text of a Chinese code page as UTF-8: decoded through Microsoft's tables
// for code page 950 or 936, optionally with its hanzi converted to the other
// script by OpenCC's phrase dictionaries (the same configurations the
// external converter's vocabulary mode loads), in Unicode, so that no
// character is lost to a code page that lacks it.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "common/choices.h"

namespace opencc {
class SimpleConverter;
}

namespace bgconv {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// OpenCC's configuration for a script: "tw2s.json" (Taiwan's forms to
// simplified) or "s2tw.json" (simplified to Taiwan's forms, which Big5 holds).
const char* OpenCCConfig(Script script);

// Converts UTF-8 text to a script; Script::kKeep changes nothing.  Loading
// the dictionaries takes a while, so one object serves a whole run.
class ScriptConverter {
 public:
  // Fails with an Exception when OpenCC cannot load the configuration.
  explicit ScriptConverter(Script script);
  ScriptConverter(const ScriptConverter&) = delete;
  ScriptConverter& operator=(const ScriptConverter&) = delete;
  ~ScriptConverter();

  std::string Convert(std::string utf8) const;
  std::u16string Convert(std::u16string_view text) const;

 private:
  std::unique_ptr<opencc::SimpleConverter> opencc_;
};

struct Utf8Text {
  std::string text;
  std::size_t undecodable = 0;  // byte sequences written as U+FFFD
  std::size_t kept_lines = 0;   // lines of UTF-8 taken as they were
};

// `bytes` of `code_page` (950 or 936) as UTF-8 in `script`, led by a byte
// order mark when `bom`.  With `keep_utf8_lines`, a line that is well-formed
// UTF-8 and reads better so than in the code page is taken as UTF-8 (it was
// converted before).  Line ends stay as they are.
Utf8Text TextToUtf8(std::string_view bytes, int code_page, const ScriptConverter& script, bool bom,
                    bool keep_utf8_lines);

}  // namespace bgconv
