// The pieces a .reg file is written from: its first line, a [key] line, and
// the text in the file's own encoding. A value's lines are RegValueText's.
#pragma once

#include <string>
#include <string_view>

#include "regfile/RegRoots.h"

namespace regfile {

// How a file's bytes hold its text: UTF-16LE after a byte-order mark
// (version 5.00), or code page 932 (REGEDIT4).
enum class Encoding : std::uint8_t { kUtf16, kCp932 };

constexpr std::u16string_view kRegedit5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kRegedit4 = u"REGEDIT4";

// The bytes a file in that encoding starts with.
std::string_view ByteOrderMark(Encoding encoding);

// A [key] line is "[", the root as spelled, then "\" and each name from the
// root down, then "]" and the line end.
void AppendKeyLineStart(std::u16string& out, std::uint8_t root, RootSpelling spelling);
void AppendKeyLineEnd(std::u16string& out, std::u16string_view newline);

// Text as the file's bytes: the text's own bytes where they are already
// those (UTF-16LE on a little-endian machine), else converted into
// `buffer`, whose storage is reused from one call to the next.
std::string_view Encoded(std::u16string_view text, Encoding encoding, std::string& buffer);

}  // namespace regfile
