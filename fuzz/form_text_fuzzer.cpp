// Any bytes as form text: the tokenizer ends in tokens or EParserError, and a
// fold keeps the line structure of the text (a folded literal never holds a
// line break, a NUL or an unbalanced quote).  The first byte picks the code
// page.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "form/parser.h"
#include "form/wide_string_fold.h"
#include "platform/errors.h"
#include "platform/line_list.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Every token lies inside the text, in ascending order, and holds no line
// break: what the fold relies on to place its replacements.
void CheckTokens(std::string_view text, const bgconv::AnsiCodePage& code_page) {
  bgconv::TParser parser(text, code_page);
  std::size_t end = 0;
  while (parser.Token() != bgconv::kEndOfText) {
    Check(parser.TokenOffset() >= end && parser.TokenOffset() + parser.TokenLength() <= text.size());
    const auto source = text.substr(parser.TokenOffset(), parser.TokenLength());
    Check(source.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
    end = parser.TokenOffset() + parser.TokenLength();
    parser.ScanToken();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bgconv::AnsiCodePage big5(bgconv::kCodePageBig5);
  static const bgconv::AnsiCodePage gb2312(bgconv::kCodePageGb2312);
  if (size == 0) return 0;
  const auto& code_page = (data[0] & 1) != 0 ? big5 : gb2312;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  try {
    CheckTokens(text, code_page);
    const bgconv::LineList folded = bgconv::FoldWideStrings(text, code_page);
    Check(folded.Count() == bgconv::SplitLines(text).size());
    for (std::size_t i = 0; i < folded.Count(); ++i) {
      Check(folded.Get(i).find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    }
  } catch (const bgconv::EParserError&) {
  }
  return 0;
}
