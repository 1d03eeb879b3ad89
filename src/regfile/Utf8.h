// UTF-16 text as UTF-8, for messages and the terminal. A surrogate pair is
// one character of four bytes; a lone surrogate, which UTF-8 cannot hold,
// is written as the text "\uDXXX" (its unit in hex), as the log escapes it.
#pragma once

#include <string>
#include <string_view>

namespace regfile {

std::string Utf16ToUtf8(std::u16string_view text);

// One code point (no surrogate) appended as UTF-8.
void AppendUtf8(char32_t code, std::string& out);

}  // namespace regfile
