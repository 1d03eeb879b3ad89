// Text between a code page and UTF-16, as the Windows functions take it.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

std::wstring WideFrom(UINT codePage, std::string_view text);
// What the code page cannot hold becomes its default character.
std::string NarrowFrom(UINT codePage, std::wstring_view wide);

// The program carries paths as UTF-8, so that a name outside the ANSI code
// page stays whole from the command line to the file functions.
inline std::wstring WidePathFrom(std::string_view path) { return WideFrom(CP_UTF8, path); }
inline std::string PathFrom(std::wstring_view wide) { return NarrowFrom(CP_UTF8, wide); }

// A path in a message (GivenPath): the mark, the path's length in bytes,
// ":" and its UTF-8. The mark is a lead byte and a byte no lead byte takes
// in the double-byte ANSI code pages (932, 936, 949, 950), so no character
// of theirs spells it; in a single-byte one it would be the control
// characters U+0081 U+007F. A mark without a length, ":" and that many
// bytes after it is text.
std::string MarkedPath(std::string_view path);

// A message to UTF-16: its text in `codePage`, but for the paths
// MarkedPath marked in it, which are UTF-8 and come out whole.
std::wstring WideFromMessage(UINT codePage, std::string_view text);
