#include "platform/win32.h"
#include "regfile/cp932_unit.h"

namespace standin {

TCp932Converter::TCp932Converter() = default;

TCp932Converter::~TCp932Converter() = default;

char16_t TCp932Converter::Unit(std::string_view bytes) const {
  WCHAR out[4];
  const int units =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out, 4);
  return units == 1 ? static_cast<char16_t>(out[0]) : 0;
}

}  // namespace standin
