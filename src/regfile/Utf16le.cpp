#include "regfile/Utf16le.h"

#include <bit>
#include <cstring>

namespace regfile {

namespace {

// On a little-endian machine the units are their own UTF-16LE bytes.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

}  // namespace

void AppendUtf16Le(std::string& out, std::u16string_view text) {
  const size_t at = out.size();
  out.resize(at + text.size() * 2);
  if constexpr (kLittleEndian) {
    if (!text.empty()) std::memcpy(out.data() + at, text.data(), text.size() * 2);
    return;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    out[at + 2 * i] = static_cast<char>(text[i] & 0xFF);
    out[at + 2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
}

std::vector<std::uint8_t> Utf16LeBytes(std::u16string_view text) {
  std::vector<std::uint8_t> out;
  Utf16LeBytes(text, out);
  return out;
}

void Utf16LeBytes(std::u16string_view text, std::vector<std::uint8_t>& out) {
  out.resize(text.size() * 2);
  if constexpr (kLittleEndian) {
    if (!text.empty()) std::memcpy(out.data(), text.data(), text.size() * 2);
    return;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
}

void Utf16LeToUnits(char16_t* units, size_t count) {
  if constexpr (!kLittleEndian)
    for (size_t i = 0; i < count; ++i) units[i] = Utf16LeUnit(units + i);
}

void AppendUtf16LeText(const void* bytes, size_t count, std::u16string& out) {
  const auto* b = static_cast<const std::uint8_t*>(bytes);
  const size_t at = out.size();
  out.resize(at + count);
  if constexpr (kLittleEndian) {
    if (count != 0) std::memcpy(out.data() + at, bytes, count * 2);
    return;
  }
  for (size_t i = 0; i < count; ++i) out[at + i] = Utf16LeUnit(b + 2 * i);
}

}  // namespace regfile
