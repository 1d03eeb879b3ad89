// Text for the user who started the program from a command line: the
// terminal on the stand-in; on Windows the console the program was started
// from, or wherever its output was redirected. Each part of a message is
// shown as what it is (Message.h): the program's text and the registry's
// ANSI names from the ANSI code page, paths as the user gave them, wide
// names whole. On Windows the console gets it as Unicode; a file or pipe
// gets it in the console's code page (the ANSI one without a console), as
// `type` and other programs read it there.
#pragma once

#include <string>

#include "platform/Message.h"

void WriteOutput(const TMessage& text);
void WriteError(const TMessage& text);

// A path as the user gave it (an argument, an environment variable), as a
// part of a message: on Windows the program carries paths as UTF-8 and the
// path is shown whole; on the stand-in it is bytes of the user's own
// encoding, shown as they are, never converted as if code page 932.
inline TMessage GivenPath(const std::string& path) { return TMessage::Path(path); }
// The same in single quotes.
inline TMessage QuotedPath(const std::string& path) { return "'" + GivenPath(path) + "'"; }
