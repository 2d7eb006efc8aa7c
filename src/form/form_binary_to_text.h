#pragma once
// Converts the object stream of a binary form file ("TPF0" and one object
// record) into form text.

#include <string>

#include "form/byte_stream.h"

namespace bgconv {

// Reads one object stream from `input`, positioned at "TPF0", and appends its
// form text to `output`.  Fails with EReadError: "Invalid stream format"
// (no "TPF0", or objects nested deeper than any form does), "Stream read
// error" (the input ends inside the stream), "Error reading Form1.Caption: 21"
// (an unknown value kind) or "Invalid property value".  On failure `output`
// holds a part of the text, which the caller discards.
//
// A long byte string is split off the trail byte of a double-byte
// character; both code pages the system works in share the lead bytes
// 0x81-0xFE, so the split does not depend on which one is configured.
void FormBinaryToText(ByteStream& input, std::string& output);

}  // namespace bgconv
