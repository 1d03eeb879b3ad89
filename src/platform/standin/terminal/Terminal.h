// The terminal the stand-in's dialogs use: where answers come from and
// questions go (tests may point them elsewhere), and its encoding.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "platform/Message.h"
#include "platform/Win32.h"

namespace standin {

void SetDialogStreams(std::istream& in, std::ostream& out);

// Takes every box in the terminal's place while set (tests set a recorder):
// gets what ShowMessageBox got, and gives the button pressed.
using TBoxHandler = std::function<int(const TMessage& text, LPCSTR caption, UINT flags)>;
void SetBoxHandler(TBoxHandler handler);

// A message in the encoding of the user's locale: its text and names
// converted from code page 932 and UTF-16, its paths the bytes they were
// given.
std::string ToTerminal(const TMessage& message);

}  // namespace standin
