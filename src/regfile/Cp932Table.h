// Code page 932 as data in the sources (tools/make_text_tables.py writes
// it), so that no host's converter decides how a name is spelled.
#pragma once

#include <cstdint>
#include <span>

namespace regfile {

// The character of each single byte; U+30FB where it is none, and for a
// lead byte.
extern const char16_t kCp932Singles[256];

struct Cp932Pair {
  std::uint16_t code;  // lead << 8 | trail
  char16_t unit;
};
// Every double-byte code that is a character, in ascending order.
std::span<const Cp932Pair> Cp932Doubles();

}  // namespace regfile
