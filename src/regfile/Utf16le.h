// UTF-16LE, the text of version 5.00 .reg files and of the registry's
// string data: the one place its bytes are put together or taken apart.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace regfile {

// The unit at `bytes`, low byte first.
inline char16_t Utf16LeUnit(const void* bytes) {
  const auto* b = static_cast<const std::uint8_t*>(bytes);
  return static_cast<char16_t>(b[0] | b[1] << 8);
}

// Whether two texts hold the same units; compared as bytes, which the
// library does word-wide where its comparison of units goes one by one.
inline bool SameUnits(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

// How many units two texts share from their start: compared four units to
// a 64-bit word.
inline size_t CommonLength(std::u16string_view a, std::u16string_view b) {
  const size_t both = std::min(a.size(), b.size());
  size_t i = 0;
  for (; i + 4 <= both; i += 4)
    if (std::memcmp(a.data() + i, b.data() + i, 4 * sizeof(char16_t)) != 0) break;
  while (i < both && a[i] == b[i]) ++i;
  return i;
}

// Text as little-endian bytes, appended to `out`.
void AppendUtf16Le(std::string& out, std::u16string_view text);
// The same as the bytes of a registry value.
std::vector<std::uint8_t> Utf16LeBytes(std::u16string_view text);
// The same into `out`, whose storage is reused.
void Utf16LeBytes(std::u16string_view text, std::vector<std::uint8_t>& out);
// `count` units that hold the UTF-16LE bytes read into them turned into
// units, in place: nothing to do on a little-endian machine.
void Utf16LeToUnits(char16_t* units, size_t count);
// `count` units at `bytes` appended to `out` as text.
void AppendUtf16LeText(const void* bytes, size_t count, std::u16string& out);

}  // namespace regfile
