// Names as the ANSI registry functions spell them (code page 932 here),
// spelled as the wide functions do.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

std::basic_string<WCHAR> Widened(std::string_view ansi);
