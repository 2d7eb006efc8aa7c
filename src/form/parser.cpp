#include "form/parser.h"

#include <algorithm>

#include "platform/errors.h"

namespace bgconv {
namespace {

constexpr std::size_t kWindowSize = 4096;

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

TParser::TParser(std::string_view text, const AnsiCodePage& code_page) : text_(text), code_page_(code_page) {
  ScanToken();
}

void TParser::Error(std::string_view what) const {
  throw EParserError(std::string(what) + " on line " + std::to_string(line_));
}

// The window moves on to the first byte not yet scanned.  When the rest of
// the text does not fit, it ends after the last LF among its 2nd to 4095th
// bytes.
void TParser::RefillWindow() {
  if (text_.size() - position_ < kWindowSize) {
    window_end_ = text_.size();
    return;
  }
  const std::size_t last_lf = text_.substr(position_ + 1, kWindowSize - 2).rfind('\n');
  if (last_lf == std::string_view::npos) Error("Line too long");
  window_end_ = position_ + 1 + last_lf + 1;
}

void TParser::SkipBlanks() {
  for (;;) {
    if (position_ == window_end_) {
      if (position_ == text_.size()) return;
      RefillWindow();
    }
    const unsigned char c = At(position_);
    if (c == 0 || c > ' ') return;
    if (c == '\n') ++line_;
    ++position_;
  }
}

int TParser::ScanToken() {
  SkipBlanks();
  token_start_ = position_;
  const unsigned char first = At(position_);
  if (first == 0) {
    token_ = kEndOfText;
  } else if (IsLetter(first)) {
    SkipWhile([](unsigned char c) { return IsLetter(c) || IsDigit(c); });
    token_ = kSymbol;
  } else if (first == '#' || first == '\'') {
    ScanString();
  } else if (first == '$') {
    ++position_;
    SkipWhile(IsHexDigit);
    token_ = kIntegerToken;
  } else if (first == '-' || IsDigit(first)) {
    ScanNumber();
  } else {
    ++position_;
    token_ = first;
  }
  return token_;
}

// Escapes (#n) and quoted runs, as many as follow each other.  The token is
// wide when an escape is above 127; its value then takes each escape's lower
// 16 bits and each quoted byte as the unit of the same value.  A plain token
// takes the lower 8 bits and the bytes.
void TParser::ScanString() {
  string_value_.clear();
  wide_value_.clear();
  bool wide = false;
  auto append = [this](std::uint32_t unit) {
    string_value_ += static_cast<char>(unit & 0xFF);
    wide_value_ += static_cast<char16_t>(unit & 0xFFFF);
  };
  for (;;) {
    const unsigned char c = At(position_);
    if (c == '#') {
      ++position_;
      std::uint32_t low_bits = 0;  // the number modulo 2^32
      std::uint32_t capped = 0;    // the number, or 1000 when it is larger
      for (unsigned char digit = At(position_); IsDigit(digit); digit = At(++position_)) {
        low_bits = low_bits * 10 + (digit - '0');
        capped = std::min<std::uint32_t>(capped * 10 + (digit - '0'), 1000);
      }
      wide = wide || capped > 127;
      append(low_bits);
    } else if (c == '\'') {
      for (++position_;; ++position_) {
        const unsigned char byte = At(position_);
        if (byte == 0 || byte == '\n' || byte == '\r') Error("Invalid string constant");
        if (byte == '\'') {
          if (At(position_ + 1) != '\'') break;
          ++position_;
        }
        append(byte);
      }
      ++position_;
    } else {
      break;
    }
  }
  token_ = wide ? kWideStringToken : kStringToken;
}

void TParser::ScanNumber() {
  ++position_;
  SkipWhile(IsDigit);
  token_ = kIntegerToken;
  auto in_float = [](unsigned char c) {
    return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
  };
  if (in_float(At(position_))) {
    SkipWhile(in_float);
    token_ = kFloatToken;
  }
  switch (At(position_)) {
    case 'c':
    case 'C':
    case 'd':
    case 'D':
    case 's':
    case 'S':
      ++position_;
      token_ = kFloatToken;
      break;
    default:
      break;
  }
}

std::string TParser::TokenSource() const {
  if (token_ == kStringToken) return string_value_;
  return std::string(text_.substr(token_start_, position_ - token_start_));
}

std::u16string TParser::TokenWideValue() const {
  if (token_ == kWideStringToken) return wide_value_;
  return code_page_.ToWide(TokenSource());
}

}  // namespace bgconv
