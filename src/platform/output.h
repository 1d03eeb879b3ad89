// Text for the user who started the program from a command line: the
// terminal on the stand-in; on Windows the console the program was started
// from, or wherever its output was redirected. The text is in the ANSI code
// page, as the registry's names are. On Windows the console gets it as
// Unicode; a file or pipe gets it in the console's code page (the ANSI one
// without a console), as `type` and other programs read it there.
#pragma once

#include <string_view>

void WriteOutput(std::string_view text);
void WriteError(std::string_view text);
