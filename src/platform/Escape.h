// Records: the log's lines and the tab-separated lines of output, which
// programs read. One rule escapes every field, so that no name can split a
// field or forge a line, and the text is valid UTF-8 whatever names hold:
//   \ -> \\, TAB -> \t, LF -> \n, CR -> \r;
//   any other control character (U+0000..U+001F, U+007F..U+009F) -> \u00XX;
//   a lone UTF-16 surrogate (in a registry name) -> \uDXXX;
//   a byte that is no part of valid UTF-8 (in a path, a computer name) -> \xHH;
//   everything else as UTF-8 (a surrogate pair is one 4-byte character).
// Hex digits are upper case. Each part is read by what it is (Message.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Message.h"

// The field escaped, as one part.
TMessage EscapedField(const TMessage& field);

// A record's line, without its end: each field escaped, separated by tabs.
TMessage Record(const std::vector<TMessage>& fields);

// The program's text, or an ANSI name, as UTF-16: from the ANSI code page,
// code page 932 on the stand-in.
std::u16string AnsiUnits(std::string_view text);
