#include "form/wide_string_fold.h"

#include <vector>

#include "form/parser.h"

namespace bgconv {
namespace {

struct WideToken {
  std::size_t offset;  // in the decoded text
  std::size_t length;
  std::u16string value;
};

// Every wide-string token but the first token of the text (the head
// keyword of a form, which is never examined).
std::vector<WideToken> FindWideTokens(std::string_view text, const AnsiCodePage& code_page) {
  std::vector<WideToken> tokens;
  TParser parser(text, code_page);
  while (parser.ScanToken() != kEndOfText) {
    if (parser.Token() != kWideStringToken) continue;
    tokens.push_back({parser.TokenOffset(), parser.TokenLength(), parser.TokenWideValue()});
  }
  return tokens;
}

// Carries a position of the decoded text over into the joined text of its
// line list, where every line break is CR LF.  Positions must come in
// ascending order and lie inside a line, as a token always does (it holds
// no CR, LF or NUL).
class JoinedPosition {
 public:
  explicit JoinedPosition(const std::vector<LineSpan>& spans) : spans_(spans) {}
  std::size_t operator()(std::size_t decoded_offset) {
    while (line_ + 1 < spans_.size() && spans_[line_ + 1].start <= decoded_offset) {
      joined_start_ += spans_[line_].length + 2;
      ++line_;
    }
    return joined_start_ + (decoded_offset - spans_[line_].start);
  }

 private:
  const std::vector<LineSpan>& spans_;
  std::size_t line_ = 0;
  std::size_t joined_start_ = 0;
};

}  // namespace

std::size_t PosFrom(std::size_t start, std::string_view sub, std::string_view s) {
  const std::string_view tail = start >= 1 && start <= s.size() ? s.substr(start - 1) : std::string_view();
  const std::size_t found = sub.empty() ? std::string_view::npos : tail.find(sub);
  return found == std::string_view::npos ? start - 1 : start + found;
}

std::u16string FoldedLiteral(std::u16string_view value) {
  std::u16string literal;
  bool quoted = false;
  for (const char16_t unit : value) {
    const bool escaped = unit < 32 || unit == u'\'';
    if (escaped == quoted) {
      literal += u'\'';
      quoted = !quoted;
    }
    if (!escaped) {
      literal += unit;
      continue;
    }
    literal += u'#';
    for (const char digit : std::to_string(unit)) literal += static_cast<char16_t>(digit);
  }
  if (quoted) literal += u'\'';
  return literal;
}

LineList FoldWideStrings(std::string_view decoded, const AnsiCodePage& code_page) {
  const std::vector<WideToken> tokens = FindWideTokens(decoded, code_page);
  LineList lines;
  lines.SetText(decoded);
  if (tokens.empty()) return lines;

  // The text between the tokens goes through the code page both ways once;
  // doing so again changes nothing, so this equals a fold of the whole text
  // per token.
  const std::string joined = lines.Text();
  const std::vector<LineSpan> spans = SplitLineSpans(decoded);
  JoinedPosition to_joined(spans);
  std::u16string folded;
  std::size_t done = 0;
  for (const auto& token : tokens) {
    const std::size_t at = to_joined(token.offset);
    folded += code_page.ToWide(std::string_view(joined).substr(done, at - done));
    folded += FoldedLiteral(token.value);
    done = at + token.length;
  }
  folded += code_page.ToWide(std::string_view(joined).substr(done));
  lines.SetText(code_page.FromWide(folded));
  return lines;
}

}  // namespace bgconv
