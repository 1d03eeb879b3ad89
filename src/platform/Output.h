// Text for the user who started the program from a command line: the
// terminal on the stand-in; on Windows the console the program was started
// from, or wherever its output was redirected. The text is in the ANSI code
// page, as the registry's names are; a path the user gave goes into it
// through GivenPath, and is shown as it was given. On Windows the console
// gets it as Unicode; a file or pipe gets it in the console's code page (the
// ANSI one without a console), as `type` and other programs read it there.
#pragma once

#include <string>
#include <string_view>

#include "platform/Win32.h"

void WriteOutput(std::string_view text);
void WriteError(std::string_view text);

// A path as the user gave it (an argument, an environment variable), to be
// put into a message or a box. On Windows the program carries paths as
// UTF-8, and the path is shown whole however the ANSI code page spells the
// rest; on the stand-in it is bytes of the user's own encoding, which are
// shown as they are, never converted as if code page 932.
std::string GivenPath(const std::string& path);
// The same in single quotes. Built piece by piece: GCC 12 warns falsely
// (-Wrestrict) on "'" + a temporary string.
inline std::string QuotedPath(const std::string& path) {
  std::string quoted = "'";
  quoted.append(GivenPath(path)).append("'");
  return quoted;
}

// A name the registry gives in UTF-16, to be put into a message: on the
// stand-in as it is (marked as GivenPath marks a path); on Windows, whose
// messages are ANSI, in the ANSI code page, "?" for what it cannot hold.
std::string ShownName(const std::basic_string<WCHAR>& name);
