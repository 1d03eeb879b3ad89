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
// The first eight units of the upper-cased name, packed so that names
// whose packings differ order as the packings do (shorter names padded with
// zeros); equal packings need CompareUpcased.
std::array<std::uint64_t, 2> UpcasedPrefix(const Name& name);
// A hash of the upper-cased name: names that are the same hash the same.
std::uint64_t HashUpcased(std::u16string_view text);
std::uint64_t HashUpcased(const Name& name);

}  // namespace standin
