// The message box. The text's own parts and the caption are code page 932
// (Message.h); the flags are MB_OK or MB_OKCANCEL, OK the default button;
// the result is the button pressed (IDOK, or IDCANCEL for Cancel, Esc and
// closing the box), or 0 when nobody can answer: the box cannot be shown
// (on Windows, no visible desktop, as in session 0 where services run) or,
// on the stand-in, the input ends before an answer to OK or Cancel.
#pragma once

#include "platform/Message.h"
#include "platform/Win32.h"

int ShowMessageBox(const TMessage& text, LPCSTR caption, UINT flags);
