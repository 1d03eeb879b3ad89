// The kinds of value data the accessor tells apart, and their mapping from
// the registry's value types.
#pragma once

#include "platform/Win32.h"

enum TValueKind { vkUnknown = 0, vkString = 1, vkExpandString = 2, vkInteger = 3, vkBinary = 4 };

// REG_SZ, REG_EXPAND_SZ, REG_BINARY and REG_DWORD have kinds of their own;
// every other type is vkUnknown.
TValueKind KindOfType(DWORD type);
