// Code page 932 (Shift-JIS as Windows defines it), the ANSI code page the
// stand-in gives the program, and its conversion to and from UTF-16.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace regfile {

bool IsCp932LeadByte(unsigned char byte);

// Whether every byte is ASCII, which the code page holds as it is: the
// quick answer for nearly every name, eight bytes at a time.
inline bool AsciiBytes(std::string_view bytes) {
  std::uint64_t seen = 0;
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, sizeof word);
    seen |= word;
  }
  for (; i < bytes.size(); ++i) seen |= static_cast<unsigned char>(bytes[i]);
  return (seen & 0x8080808080808080) == 0;
}

// Bytes that are no character of the code page become U+30FB, as Windows
// converts them.
std::u16string Cp932ToUtf16(std::string_view bytes);
// The same into `out`, whose storage is reused.
void Cp932ToUtf16(std::string_view bytes, std::u16string& out);
// The same, appended to `out`.
void AppendCp932AsUtf16(std::string_view bytes, std::u16string& out);
// The same into room for `bytes.size()` units at `out`; gives the units written.
size_t Cp932ToUtf16Units(std::string_view bytes, char16_t* out);

// Characters the code page cannot hold become "?".
std::string Utf16ToCp932(std::u16string_view text);
void Utf16ToCp932(std::u16string_view text, std::string& out);
// The same from `count` UTF-16LE units as stored, wherever they lie.
void Utf16LeToCp932(const void* units, size_t count, std::string& out);
// The same into room for `2 * count` bytes at `out`; gives the bytes written.
size_t Utf16LeToCp932(const void* units, size_t count, char* out);

bool Cp932CanHold(std::u16string_view text);

// The first character of the bytes that converting to UTF-16 and back would
// not give back as it was: bytes that are no character (a lead byte without
// its trail byte, or with one that cannot follow it), or a character that
// has a second code Windows would write instead. Gives its offset and sets
// `length` to its bytes, or gives npos.
size_t FirstInexactCp932(std::string_view bytes, size_t& length);

// How many bytes Utf16ToCp932 gives for UTF-16LE bytes, without converting
// them.
size_t Cp932Size(const std::uint8_t* utf16le, size_t units);

}  // namespace regfile
