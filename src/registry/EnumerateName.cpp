#include "registry/EnumerateName.h"

namespace {

// Names are at most 16,383 characters; even at four bytes each this holds one.
constexpr size_t kLargestName = 1 << 17;

LONG Enumerate(HKEY key, NameList list, DWORD index, std::vector<char>& buffer, DWORD& length) {
  length = static_cast<DWORD>(buffer.size());
  if (list == NameList::kSubkeys)
    return RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  return RegEnumValueA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

bool EnumerateName(HKEY key, NameList list, DWORD index, std::vector<char>& buffer, std::string& name) {
  DWORD length = 0;
  LONG rc = Enumerate(key, list, index, buffer, length);
  while (rc == ERROR_MORE_DATA && buffer.size() < kLargestName) {
    buffer.resize(buffer.size() * 2);
    rc = Enumerate(key, list, index, buffer, length);
  }
  if (rc != ERROR_SUCCESS) return false;
  // A name with a NUL inside cannot be passed back to the ANSI functions:
  // cut at the NUL it would name another key or value, or, cut to nothing,
  // the key itself. It is left out rather than mistaken for another.
  const size_t cut = std::char_traits<char>::length(buffer.data());
  if (cut != length) return false;
  name.assign(buffer.data(), cut);
  return true;
}
