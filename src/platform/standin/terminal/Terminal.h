// The terminal the stand-in's dialogs use: where answers come from and
// questions go (tests may point them elsewhere), and its encoding.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace standin {

void SetDialogStreams(std::istream& in, std::ostream& out);

// Code page 932 text in the encoding of the user's locale; the paths in it
// that GivenPath marked stay the bytes they were given.
std::string Cp932ToTerminal(std::string_view text);

}  // namespace standin
