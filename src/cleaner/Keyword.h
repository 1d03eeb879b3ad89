// The product test's keyword and how text is matched against it.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kProductKeyword = "zobrik";

// Lower-cases the text byte by byte, each byte "A" to "Z" and no other, and
// looks for the keyword as a byte substring. Double-byte characters are not
// told apart: a trail byte in "A" to "Z" is lowered too, so "\x83Zobrik",
// which reads "セobrik" in code page 932, matches.
bool MentionsKeyword(std::string_view text);
