#include "platform/ansi_codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <limits>

#include "platform/errors.h"

namespace bgconv {
namespace {

// ICU counts in int32_t; a form file is far smaller, but a larger input fails
// cleanly rather than wrapping around.
void CheckLength(std::size_t units) {
  if (units > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() / 2)) {
    throw Exception("Text too long for code page conversion");
  }
}

// "cp950" in ICU opens IBM's table, which differs from Windows on hundreds of
// codes; these names open Microsoft's.
const char* IcuConverterName(int code_page) {
  switch (code_page) {
    case kCodePageBig5:
      return "windows-950-2000";
    case kCodePageGb2312:
      return "windows-936-2000";
    default:
      return nullptr;
  }
}

// A byte sequence without a character becomes "?", as the conversion back
// would render it, instead of ICU's U+FFFD.
void ToWideQuestionMark(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                        UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  const UChar question = u'?';
  ucnv_cbToUWriteUChars(args, &question, 1, 0, error);
}

// Every character the code page cannot hold becomes "?".  ICU's own
// substitute callback skips default-ignorable characters instead (a soft
// hyphen, a zero width space, a byte order mark), so they would vanish.
void FromWideQuestionMark(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                          UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, error);
}

// A byte sequence without a character becomes U+FFFD and is counted in the
// std::size_t the context points to.
void ToWideCountedReplacement(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                              UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  ++*static_cast<std::size_t*>(const_cast<void*>(context));
  const UChar replacement = 0xFFFD;
  ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  return (IsLeadByte(byte) && pos + 1 < text.size()) ? 2 : 1;
}

bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle) {
  if (text.size() - pos < needle.size()) return false;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    const auto have = static_cast<unsigned char>(text[pos + i]);
    // A lead byte inside the window would make a trail byte part of the
    // match; the needles are single-byte text, so it simply does not match.
    if (IsLeadByte(have)) return false;
    if (AnsiUpper(have) != AnsiUpper(static_cast<unsigned char>(needle[i]))) return false;
  }
  return true;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  std::size_t pos = 0;
  while (pos < a.size()) {
    const std::size_t length = CharLengthAt(a, pos);
    if (length == 2) {
      if (a.substr(pos, 2) != b.substr(pos, 2)) return false;
    } else if (AnsiUpper(static_cast<unsigned char>(a[pos])) != AnsiUpper(static_cast<unsigned char>(b[pos]))) {
      return false;
    }
    pos += length;
  }
  return true;
}

int SourceCodePage(Direction direction) { return direction == Direction::kGbToBig ? kCodePageGb2312 : kCodePageBig5; }

void AnsiCodePage::CloseConverter::operator()(UConverter* converter) const { ucnv_close(converter); }

AnsiCodePage::AnsiCodePage(int code_page) : number_(code_page) {
  const char* name = IcuConverterName(code_page);
  if (name == nullptr) throw Exception("Unsupported code page " + std::to_string(code_page));
  UErrorCode error = U_ZERO_ERROR;
  converter_.reset(ucnv_open(name, &error));
  if (U_FAILURE(error)) throw Exception(std::string("Cannot open the code page table ") + name);
  // "?" for characters the code page lacks (ICU's default for these tables
  // is the same byte; setting it keeps that independent of the ICU build).
  ucnv_setSubstChars(converter_.get(), "?", 1, &error);
  ucnv_setToUCallBack(converter_.get(), ToWideQuestionMark, nullptr, nullptr, nullptr, &error);
  ucnv_setFromUCallBack(converter_.get(), FromWideQuestionMark, nullptr, nullptr, nullptr, &error);
  if (U_FAILURE(error)) throw Exception(std::string("Cannot open the code page table ") + name);
}

AnsiCodePage::AnsiCodePage(AnsiCodePage&&) noexcept = default;
AnsiCodePage& AnsiCodePage::operator=(AnsiCodePage&&) noexcept = default;
AnsiCodePage::~AnsiCodePage() = default;

std::u16string AnsiCodePage::ToWide(std::string_view bytes) const {
  if (bytes.empty()) return {};
  CheckLength(bytes.size());
  // Every byte gives at most one UTF-16 unit in these code pages.
  std::u16string text(bytes.size(), u'\0');
  UErrorCode error = U_ZERO_ERROR;
  ucnv_resetToUnicode(converter_.get());
  const int32_t length = ucnv_toUChars(converter_.get(), text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &error);
  if (U_FAILURE(error) && error != U_STRING_NOT_TERMINATED_WARNING) throw Exception("Code page conversion failed");
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string AnsiCodePage::FromWide(std::u16string_view text) const {
  if (text.empty()) return {};
  CheckLength(text.size());
  // Every UTF-16 unit gives at most two bytes.
  std::string bytes(text.size() * 2, '\0');
  UErrorCode error = U_ZERO_ERROR;
  ucnv_resetFromUnicode(converter_.get());
  const int32_t length = ucnv_fromUChars(converter_.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                                         text.data(), static_cast<int32_t>(text.size()), &error);
  if (U_FAILURE(error) && error != U_STRING_NOT_TERMINATED_WARNING) throw Exception("Code page conversion failed");
  bytes.resize(static_cast<std::size_t>(length));
  return bytes;
}

}  // namespace bgconv

namespace bgconv {

bool EndsWithSingleByte(std::string_view text, char byte) {
  if (text.empty() || text.back() != byte) return false;
  // Only a scan from the start knows where the characters begin.
  std::size_t pos = 0;
  std::size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    pos += CharLengthAt(text, pos);
  }
  return last == text.size() - 1;
}

}  // namespace bgconv

namespace bgconv {

std::string WideToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &error);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  error = U_ZERO_ERROR;
  u_strToUTF8WithSub(bytes.data(), length, &length, text.data(), static_cast<int32_t>(text.size()), 0xFFFD, nullptr,
                     &error);
  if (U_FAILURE(error) && error != U_STRING_NOT_TERMINATED_WARNING) throw Exception("Code page conversion failed");
  return bytes;
}

}  // namespace bgconv

namespace bgconv {

std::u16string Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  CheckLength(text.size());
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  std::u16string wide(text.size(), u'\0');  // never more units than bytes
  u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &length, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &error);
  if (U_FAILURE(error) && error != U_STRING_NOT_TERMINATED_WARNING) throw Exception("UTF-8 conversion failed");
  wide.resize(static_cast<std::size_t>(length));
  return wide;
}

std::u16string DecodeCodePage(std::string_view bytes, int code_page, std::size_t& undecodable) {
  const char* name = IcuConverterName(code_page);
  if (name == nullptr) throw Exception("Unsupported code page " + std::to_string(code_page));
  if (bytes.empty()) return {};
  CheckLength(bytes.size());
  UErrorCode error = U_ZERO_ERROR;
  const std::unique_ptr<UConverter, void (*)(UConverter*)> converter(ucnv_open(name, &error), ucnv_close);
  std::size_t count = 0;
  ucnv_setToUCallBack(converter.get(), ToWideCountedReplacement, &count, nullptr, nullptr, &error);
  if (U_FAILURE(error)) throw Exception(std::string("Cannot open the code page table ") + name);
  // Every byte gives at most one UTF-16 unit in these code pages.
  std::u16string text(bytes.size(), u'\0');
  const int32_t length = ucnv_toUChars(converter.get(), text.data(), static_cast<int32_t>(text.size()), bytes.data(),
                                       static_cast<int32_t>(bytes.size()), &error);
  if (U_FAILURE(error) && error != U_STRING_NOT_TERMINATED_WARNING) throw Exception("Code page conversion failed");
  text.resize(static_cast<std::size_t>(length));
  undecodable += count;
  return text;
}

}  // namespace bgconv
