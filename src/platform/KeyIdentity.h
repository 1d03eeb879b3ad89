// Which key a handle is, whatever root, view or spelling of its path
// reached it: the registry's own full name of the key, upper-cased as the
// registry compares names, its parts separated by "\". On 64-bit Windows the
// 32-bit view's own keys have names of their own (below Wow6432Node), while
// a key the two views share has one name; so does a key below
// HKEY_CLASSES_ROOT and the same key below HKEY_LOCAL_MACHINE. Empty when
// the registry cannot tell.
#pragma once

#include <string>

#include "platform/Win32.h"

std::basic_string<WCHAR> KeyIdentity(HKEY key);
