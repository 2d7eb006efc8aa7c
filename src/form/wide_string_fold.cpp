#include "form/wide_string_fold.h"

#include <algorithm>
#include <optional>

#include "form/parser.h"
#include "platform/line_form.h"

namespace bgconv {
namespace {

// The text between folds goes through the code page in pieces of about this
// many bytes, each ending after a line break, so that no more than a piece
// of the text is held in UTF-16 at a time.
constexpr std::size_t kPieceBytes = std::size_t{1} << 16;

// `piece` with every line break (CR LF, CR or LF) written as CR LF, appended
// to `out`.  A piece never ends between the CR and the LF of one break.
void AppendWithCrLf(std::string& out, std::string_view piece) {
  for (std::size_t pos = 0; pos < piece.size();) {
    const std::size_t end = piece.find_first_of("\r\n", pos);
    out.append(piece.substr(pos, end - pos));
    if (end == std::string_view::npos) return;
    out += "\r\n";
    pos = end + (piece.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
}

// Builds the joined text of the folded line list front to back: the
// decoded text with CR LF line breaks, taken through the code page both
// ways, with each wide-string token replaced by its folded literal.  Going
// through the code page once equals going through it once per fold, as
// doing so again changes nothing; and the pieces convert as the whole text
// would, since each ends after a LF or before a token, both ASCII.
class FoldedText {
 public:
  FoldedText(std::string_view decoded, const AnsiCodePage& code_page) : decoded_(decoded), code_page_(code_page) {
    out_.reserve(decoded.size() + decoded.size() / 16);
  }

  // The token at `offset` (`length` bytes of the decoded text) becomes the
  // literal of `value`; the text before it is copied.
  void Fold(std::size_t offset, std::size_t length, std::u16string_view value) {
    CopyUpTo(offset);
    out_ += code_page_.FromWide(FoldedLiteral(value));
    done_ = offset + length;
  }

  // The rest of the text up to its first NUL, the last line ended by CR LF.
  std::string Finish() {
    CopyUpTo(std::min(decoded_.find('\0', done_), decoded_.size()));
    if (!out_.empty() && out_.back() != '\n') out_ += "\r\n";
    return std::move(out_);
  }

 private:
  void CopyUpTo(std::size_t end) {
    std::string piece;
    while (done_ < end) {
      std::size_t cut = end;
      if (end - done_ > kPieceBytes) {
        const std::size_t lf = decoded_.find('\n', done_ + kPieceBytes);
        cut = lf < end ? lf + 1 : end;
      }
      piece.clear();
      AppendWithCrLf(piece, decoded_.substr(done_, cut - done_));
      out_ += code_page_.FromWide(code_page_.ToWide(piece));
      done_ = cut;
    }
  }

  std::string_view decoded_;
  const AnsiCodePage& code_page_;
  std::size_t done_ = 0;
  std::string out_;
};

}  // namespace

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

std::string FoldWideStringsToText(std::string_view decoded, const AnsiCodePage& code_page) {
  // Every wide-string token but the first token of the text (the head
  // keyword of a form, which is never examined).
  TParser parser(decoded, code_page);
  std::optional<FoldedText> folded;
  while (parser.ScanToken() != kEndOfText) {
    if (parser.Token() != kWideStringToken) continue;
    if (!folded) folded.emplace(decoded, code_page);
    folded->Fold(parser.TokenOffset(), parser.TokenLength(), parser.TokenWideValue());
  }
  if (!folded) return NormalizeLineBreaks(decoded);
  return folded->Finish();
}

LineList FoldWideStrings(std::string_view decoded, const AnsiCodePage& code_page) {
  LineList lines;
  lines.SetText(FoldWideStringsToText(decoded, code_page));
  return lines;
}

}  // namespace bgconv
