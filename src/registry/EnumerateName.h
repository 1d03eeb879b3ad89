// Reads the name at one index of a key's subkeys or values, growing the
// buffer when the name does not fit, so that no name drops out of a listing.
#pragma once

#include <string>
#include <vector>

#include "platform/Win32.h"

enum class NameList { kSubkeys, kValues };

// `buffer` starts at the size the key's maxima suggest and keeps any growth
// for the next index. Gives false when the index cannot be read, or holds a
// name with a NUL inside, which no ANSI call can name.
bool EnumerateName(HKEY key, NameList list, DWORD index, std::vector<char>& buffer, std::string& name);
