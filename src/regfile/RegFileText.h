// What the parts of a .reg file's lines stand for, decoded from the file's
// bytes when asked: text in UTF-16, quoted names and strings with their
// escapes taken, a value's data as the registry holds it. The parts are
// those ReadRegFileLines found, and read again as it read them.
#pragma once

#include <cstdint>
#include <string>

#include "regfile/RegFileLines.h"

namespace regfile {

// A file's bytes, read whole, and how they hold text.
struct FileBytes {
  const char* begin = nullptr;
  const char* end = nullptr;
  Encoding encoding = Encoding::kCp932;
  bool regedit4 = false;  // a REGEDIT4 file holds its hex(2) and hex(7) strings in code page 932
};

// Appends the units the file's text in a span is: UTF-16 as it is, code
// page 932 converted.
void AppendText(const FileBytes& file, Span span, std::u16string& out);

// Appends the units a quoted text stands for, its escapes taken; `at` is
// just after its opening quote.
void AppendUnquoted(const FileBytes& file, const char* at, std::u16string& out);
// The same in code page 932, as the ANSI registry functions give it: a
// code page 932 file's own bytes (which convert to the units and back as
// they are), a UTF-16 file's units converted. `units`: how many the text
// stands for.
void AppendUnquotedCp932(const FileBytes& file, const char* at, size_t units, std::string& out);

// Appends a value's data as the registry holds it, read from its text at
// `at` (ValueLine::data): a string in UTF-16LE with its final NUL, a dword
// in four bytes, hex data as its bytes (a REGEDIT4 file's hex(2) and hex(7)
// strings converted from code page 932).
void AppendData(const FileBytes& file, DataText form, const char* at, std::uint32_t type, std::string& out);

}  // namespace regfile
