#include "form/stream_form.h"

#include <string_view>

#include "platform/errors.h"

namespace bgconv {

TStreamForm DetectStreamForm(ByteStream& stream) {
  const std::size_t start = stream.Position();
  unsigned char head[4] = {0, 0, 0, 0};
  stream.ReadSome(head, sizeof head);
  stream.Seek(start);
  if (head[0] == 0xFF || std::string_view(reinterpret_cast<char*>(head), 4) == "TPF0") return kBinaryForm;
  switch (head[0]) {
    case '\t':
    case '\v':
    case '\r':
    case ' ':
    case 'I':
    case 'O':
    case 'i':
    case 'o':
      return kTextForm;
    default:
      return kUnknownForm;
  }
}

void SkipResourceHeader(ByteStream& stream) {
  const std::size_t start = stream.Position();
  unsigned char head[3] = {0, 0, 0};
  stream.ReadSome(head, sizeof head);
  if (head[0] != 0xFF || head[1] != 10 || head[2] != 0) throw EInvalidImage("Invalid stream format");
  // The resource name runs to its NUL, however long; a header cut off inside
  // it ends there, and the object stream that should follow is then missing.
  std::size_t name_length = 0;
  unsigned char byte = 0;
  while (stream.ReadSome(&byte, 1) == 1 && byte != 0) ++name_length;
  // NUL, 2 bytes of memory flags, 4 bytes of data size.
  stream.Seek(start + 3 + name_length + 7);
}

}  // namespace bgconv
