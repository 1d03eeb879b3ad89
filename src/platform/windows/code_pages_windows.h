// Text between a code page and UTF-16, as the Windows functions take it.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32.h"

std::wstring WideFrom(UINT codePage, std::string_view text);
// What the code page cannot hold becomes its default character.
std::string NarrowFrom(UINT codePage, std::wstring_view wide);
