#include <iconv.h>

#include <stdexcept>

#include "regfile/cp932_unit.h"

namespace standin {

TCp932Converter::TCp932Converter() : state_(iconv_open("UTF-16LE", "CP932")) {
  if (state_ == reinterpret_cast<void*>(-1)) throw std::runtime_error("no CP932 converter in the C library");
}

TCp932Converter::~TCp932Converter() { iconv_close(static_cast<iconv_t>(state_)); }

char16_t TCp932Converter::Unit(std::string_view bytes) const {
  char out[8];
  char* src = const_cast<char*>(bytes.data());
  char* dst = out;
  size_t inLeft = bytes.size(), outLeft = sizeof out;
  iconv(static_cast<iconv_t>(state_), nullptr, nullptr, nullptr, nullptr);
  if (iconv(static_cast<iconv_t>(state_), &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || outLeft != 6)
    return 0;
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
}

}  // namespace standin
