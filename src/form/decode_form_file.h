#pragma once
// A form file of either stream form as form text.

#include <string>
#include <string_view>

namespace bgconv {

// Reads the file at `path` under an exclusive lock (another bgconv, or any
// program that locks it, cannot work on the same form meanwhile) and returns
// its form text: a text-form file byte for byte, a binary one converted.
// Fails with EFOpenError "Cannot open file %s" (with ": not a regular file"
// for a pipe or a device, which is not read), EInvalidImage "Invalid stream
// format" (neither stream form, or "TPF0" without the resource header) or an
// EReadError of the conversion.
std::string DecodeFormFile(const std::string& path);

// The same for the bytes of a form file already in memory.
std::string DecodeFormBytes(std::string_view bytes);

}  // namespace bgconv
