#pragma once
// Which of its two stream forms a form file is in, and the 16-bit resource
// header in front of a binary form's object stream.

#include "form/byte_stream.h"

namespace bgconv {

enum TStreamForm : int {
  kUnknownForm = 0,
  kBinaryForm = 1,  // a resource header (0xFF) or directly "TPF0"
  kTextForm = 2,    // starts with a blank, TAB, VT, CR or "object"/"inherited"/"inline"
};

// Looks at the first four bytes from the current position (missing ones
// count as 0) and leaves the position where it was.
TStreamForm DetectStreamForm(ByteStream& stream);

// Checks the marker 0xFF and the resource type RT_RCDATA (10) and moves to
// the object stream behind the resource name, memory flags and data size.
// A wrong marker or type fails with EInvalidImage "Invalid stream format".
void SkipResourceHeader(ByteStream& stream);

}  // namespace bgconv
