// The Win32 surface the program calls. On Windows it is the real one; on
// every other system the stand-in declares the same names, types and codes.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "platform/standin/win32/Win32Standin.h"
#endif
