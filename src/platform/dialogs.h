// The message box. Texts and caption are code page 932; the flags are
// MB_OK or MB_OKCANCEL, OK the default button; the result is the button
// pressed (IDOK, or IDCANCEL for Cancel, Esc and closing the box).
#pragma once

#include "platform/win32.h"

int ShowMessageBox(LPCSTR text, LPCSTR caption, UINT flags);
