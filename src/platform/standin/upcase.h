// Case-insensitive comparison of key and value names as Windows does it:
// each UTF-16 unit is upper-cased on its own by the Unicode case table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

std::u16string Upcase(std::u16string_view text);
bool SameName(std::u16string_view a, std::u16string_view b);
// Orders two names as their upper-cased forms order: negative, zero or
// positive.
int CompareUpcased(std::u16string_view a, std::u16string_view b);
// A hash of the upper-cased name: names that are the same hash the same.
std::uint64_t HashUpcased(std::u16string_view text);

}  // namespace standin
