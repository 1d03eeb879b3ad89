// Whether the registry can tell, without reading them, that no name in or
// below a key holds a character beyond ASCII: the search for names the
// ANSI functions cannot spell, which are never ASCII, passes such keys by.
#pragma once

#include "platform/Win32.h"

// True when a name of the key, of its values or of the keys and values
// below it may hold a character beyond ASCII, and whenever the registry
// cannot tell.
bool MayHoldNonAsciiNames(HKEY key);
