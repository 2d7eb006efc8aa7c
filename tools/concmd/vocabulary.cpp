#include "vocabulary.h"

#include <opencc/opencc.h>

#include <exception>

#include "codec/unicode_text.h"
#include "platform/errors.h"

namespace bgconv {
namespace {

constexpr char32_t kNotLookedUp = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

bool IsPrivateUse(char32_t c) { return c >= 0xE000 && c <= 0xF8FF; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// OpenCC returns well-formed UTF-8; anything else becomes U+FFFD, which no
// code page holds, so the tables take that character.
std::vector<char32_t> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> code_points;
  code_points.reserve(text.size() / 3 + 1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF8 ? 0
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || pos + length > text.size()) {
      code_points.push_back(kReplacement);
      ++pos;
      continue;
    }
    char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    bool valid = true;
    for (std::size_t i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[pos + i]);
      valid = valid && (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    code_points.push_back(valid ? c : kReplacement);
    pos += valid ? length : 1;
  }
  return code_points;
}

std::u16string ToUtf16(char32_t c) {
  if (c < 0x10000) return std::u16string(1, static_cast<char16_t>(c));
  c -= 0x10000;
  return {static_cast<char16_t>(0xD800 + (c >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
}

int TargetCodePage(Direction direction) { return direction == Direction::kGbToBig ? kCodePageBig5 : kCodePageGb2312; }

// GB2312 to Big5 with Taiwan's character forms; Big5 to GB2312 from them.
const char* OpenCCConfig(Direction direction) {
  return bgconv::OpenCCConfig(direction == Direction::kGbToBig ? Script::kTraditional : Script::kSimplified);
}

}  // namespace

VocabularyConverter::VocabularyConverter(Direction direction)
    : source_(SourceCodePage(direction)), target_(TargetCodePage(direction)), decoded_(0x10000, kNotLookedUp) {
  try {
    opencc_ = std::make_unique<opencc::SimpleConverter>(OpenCCConfig(direction));
  } catch (const std::exception& error) {
    throw Exception(std::string("Cannot load the vocabulary dictionaries (OpenCC ") + OpenCCConfig(direction) +
                    "): " + error.what());
  }
  if (direction == Direction::kBigToGb) {
    tables_ = &big5_to_gb_.emplace();
  } else {
    tables_ = &gb_to_big5_.emplace();
  }
}

VocabularyConverter::~VocabularyConverter() = default;

char16_t VocabularyConverter::Decode(unsigned char lead, unsigned char trail) const {
  char32_t& entry = decoded_[static_cast<std::size_t>(lead) << 8 | trail];
  if (entry == kNotLookedUp) {
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const std::u16string wide = source_.ToWide(std::string_view(pair, 2));
    // A pair the code page does not define decodes to "?", or to two
    // characters when the trail byte cannot be one.  User-defined characters
    // mean nothing to the dictionaries either.
    const bool defined = wide.size() == 1 && wide[0] != u'?' && !IsPrivateUse(wide[0]);
    entry = defined ? wide[0] : 0;
  }
  return static_cast<char16_t>(entry);
}

const std::string& VocabularyConverter::Encode(char32_t code_point) const {
  const auto found = encoded_.find(code_point);
  if (found != encoded_.end()) return found->second;
  const std::u16string wide = ToUtf16(code_point);
  std::string bytes = target_.FromWide(wide);
  // Encoding gives "?" for a character the code page lacks, and may give a
  // look-alike; only bytes that decode back to the same character count.
  if (target_.ToWide(bytes) != wide) bytes.clear();
  return encoded_.emplace(code_point, std::move(bytes)).first->second;
}

void VocabularyConverter::ConvertRun(std::string_view source, const std::u16string& wide, std::string& out) const {
  std::string utf8;
  utf8.reserve(wide.size() * 3);
  for (const char16_t c : wide) AppendUtf8(utf8, c);
  const std::vector<char32_t> converted = DecodeUtf8(opencc_->Convert(utf8));

  if (converted.size() == wide.size()) {
    // Character for character: each one the target cannot hold falls back to
    // the tables on its own source pair.
    for (std::size_t i = 0; i < converted.size(); ++i) {
      const std::string& bytes = Encode(converted[i]);
      out += bytes.empty() ? tables_->Convert(source.substr(2 * i, 2)) : bytes;
    }
    return;
  }
  // A phrase of another length: no character of the result stands for one of
  // the source, so the run is taken whole or, if any of it cannot be held,
  // converted by the tables.
  std::string whole;
  for (const char32_t c : converted) {
    const std::string& bytes = Encode(c);
    if (bytes.empty()) {
      out += tables_->Convert(source);
      return;
    }
    whole += bytes;
  }
  out += whole;
}

std::string VocabularyConverter::Convert(std::string_view text) const {
  const auto byte = [&](std::size_t pos) { return static_cast<unsigned char>(text[pos]); };
  const auto starts_character = [&](std::size_t pos) {
    return pos + 1 < text.size() && IsLeadByte(byte(pos)) && Decode(byte(pos), byte(pos + 1)) != 0;
  };

  std::string out;
  out.reserve(text.size());
  std::u16string wide;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    wide.clear();
    while (starts_character(pos)) {
      wide.push_back(Decode(byte(pos), byte(pos + 1)));
      pos += 2;
    }
    if (!wide.empty()) {
      ConvertRun(text.substr(start, pos - start), wide, out);
      continue;
    }
    // Everything up to the next defined character goes through the tables;
    // the search for it steps over a byte above 0xA0 and the byte after it.
    do {
      pos += (byte(pos) > 0xA0 && pos + 1 < text.size()) ? 2u : 1u;
    } while (pos < text.size() && !starts_character(pos));
    out += tables_->Convert(text.substr(start, pos - start));
  }
  return out;
}

}  // namespace bgconv
