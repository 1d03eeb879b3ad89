// Text between a code page and UTF-16, as the Windows functions take it.
#pragma once

#include <string>
#include <string_view>

#include "platform/Message.h"
#include "platform/Win32.h"

std::wstring WideFrom(UINT codePage, std::string_view text);
// What the code page cannot hold becomes its default character.
std::string NarrowFrom(UINT codePage, std::wstring_view wide);

// The program carries paths as UTF-8, so that a name outside the ANSI code
// page stays whole from the command line to the file functions.
inline std::wstring WidePathFrom(std::string_view path) { return WideFrom(CP_UTF8, path); }
inline std::string PathFrom(std::wstring_view wide) { return NarrowFrom(CP_UTF8, wide); }

// A message in UTF-16: its text from `textCodePage`, its ANSI names from
// the ANSI code page, its paths from the UTF-8 the program carries them
// in, its wide names whole.
std::wstring WideMessage(UINT textCodePage, const TMessage& message);
