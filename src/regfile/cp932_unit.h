// The system's own converter from code page 932, one character at a time:
// the C library's iconv, or Windows' MultiByteToWideChar. The code page's
// tables (cp932.cpp) are filled from it once.
#pragma once

#include <string_view>

namespace standin {

class TCp932Converter {
 public:
  TCp932Converter();
  ~TCp932Converter();
  TCp932Converter(const TCp932Converter&) = delete;
  TCp932Converter& operator=(const TCp932Converter&) = delete;

  // The one UTF-16 unit that `bytes` (one character) convert to, or 0 when
  // they are no character or convert to more than one unit.
  char16_t Unit(std::string_view bytes) const;

 private:
  void* state_ = nullptr;
};

}  // namespace standin
