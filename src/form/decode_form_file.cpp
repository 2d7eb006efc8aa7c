#include "form/decode_form_file.h"

#include "form/byte_stream.h"
#include "form/form_binary_to_text.h"
#include "form/stream_form.h"
#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace bgconv {

std::string DecodeFormFile(const std::string& path) {
  RequireRegularFile(path);
  std::string bytes = ReadWholeFile(path, ReadSharing::kExclusive);
  // A text form is its own form text: no second copy of a large file.
  ByteStream stream(bytes);
  if (DetectStreamForm(stream) == kTextForm) return bytes;
  return DecodeFormBytes(bytes);
}

std::string DecodeFormBytes(std::string_view bytes) {
  ByteStream stream(bytes);
  if (DetectStreamForm(stream) == kTextForm) return std::string(bytes);
  // An unknown stream form fails here, as a binary one without its header.
  SkipResourceHeader(stream);
  std::string text;
  // Form text takes about twice the bytes of its binary form.
  text.reserve(2 * bytes.size());
  FormBinaryToText(stream, text);
  return text;
}

}  // namespace bgconv
