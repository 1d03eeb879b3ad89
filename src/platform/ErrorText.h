// What a Win32 error code means, in words for the user (on Windows in the
// system's language and ANSI code page).
#pragma once

#include <string>

#include "platform/Win32.h"

std::string ErrorText(LONG code);
