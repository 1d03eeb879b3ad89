// The value types a .reg file spells out, by their numbers in the file
// (hex(N):) and in the registry: the format's own, so that it needs no
// registry to be read or written.
#pragma once

#include <cstdint>

namespace regfile {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kString = 1;        // "..."
constexpr std::uint32_t kExpandString = 2;  // hex(2):
constexpr std::uint32_t kBinary = 3;        // hex:
constexpr std::uint32_t kDword = 4;         // dword:
constexpr std::uint32_t kMultiString = 7;   // hex(7):
}  // namespace regfile
