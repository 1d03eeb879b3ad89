// The product test's keyword and how text is matched against it.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kProductKeyword = "zobrik";

// Lower-cases the ASCII letters A to Z alone (bytes of double-byte
// characters stay as they are) and looks for the keyword as a byte
// substring.
bool MentionsKeyword(std::string_view text);
