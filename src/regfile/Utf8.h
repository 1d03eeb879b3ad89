// UTF-16 text as UTF-8, for messages and the terminal. Units are encoded one
// by one, as the registry's names are: a surrogate stays a unit of its own.
#pragma once

#include <string>
#include <string_view>

namespace regfile {

std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace regfile
