// Case-insensitive comparison of key and value names as Windows does it:
// each UTF-16 unit is upper-cased on its own by the Unicode case table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/standin/registry/Name.h"

namespace standin {

std::u16string Upcase(std::u16string_view text);
bool SameName(std::u16string_view a, std::u16string_view b);
bool SameName(const Name& a, std::u16string_view b);
bool SameName(const Name& a, const Name& b);
// Orders two names as their upper-cased forms order: negative, zero or
// positive.
int CompareUpcased(std::u16string_view a, std::u16string_view b);
int CompareUpcased(const Name& a, const Name& b);
// The first eight units of the upper-cased name, a byte each, so that names
// whose keys differ order as the keys do (shorter names padded with zeros);
// equal keys need CompareUpcased. A unit from 0xFF up takes the byte 0xFF
// and ends the key, all zeros after it.
std::uint64_t SortKey(const Name& name);
// A hash of the upper-cased name: names that are the same hash the same.
std::uint64_t HashUpcased(std::u16string_view text);
std::uint64_t HashUpcased(const Name& name);

}  // namespace standin
