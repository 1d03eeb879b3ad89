// A key's or a value's name where the tree keeps it: UTF-16 units (a UTF-16
// file's own, or the tree's store), or the bytes of an ASCII name in a code
// page 932 file, each byte its own unit. Either way nothing is copied or
// converted until the name is handed out.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace standin {

// A UTF-16 file's units are read in place, as the machine's own.
static_assert(std::endian::native == std::endian::little, "the stand-in reads UTF-16LE units in place");

class Name {
 public:
  Name() = default;
  Name(const char16_t* units, size_t size) : at_(units), size_(static_cast<std::uint32_t>(size)) {}
  explicit Name(std::u16string_view units) : Name(units.data(), units.size()) {}
  // ASCII bytes, each a unit.
  static Name Narrow(const char* bytes, size_t size) {
    Name name;
    name.at_ = bytes;
    name.size_ = static_cast<std::uint32_t>(size);
    name.narrow_ = true;
    return name;
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  bool narrow() const { return narrow_; }
  const char16_t* units() const { return static_cast<const char16_t*>(at_); }
  const char* bytes() const { return static_cast<const char*>(at_); }
  char16_t operator[](size_t i) const {
    return narrow_ ? static_cast<char16_t>(static_cast<unsigned char>(bytes()[i])) : units()[i];
  }
  // The units themselves, where the name is kept as units.
  std::u16string_view View() const { return {units(), size_}; }

  void AppendTo(std::u16string& out) const {
    if (!narrow_) {
      out.append(units(), size_);
      return;
    }
    for (size_t i = 0; i < size_; ++i) out.push_back(static_cast<unsigned char>(bytes()[i]));
  }
  std::u16string Text() const {
    std::u16string text;
    AppendTo(text);
    return text;
  }

 private:
  const void* at_ = nullptr;
  std::uint32_t size_ = 0;
  bool narrow_ = false;
};

}  // namespace standin
