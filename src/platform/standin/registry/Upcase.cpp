#include "platform/standin/registry/Upcase.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/standin/registry/UpcaseTable.h"

namespace standin {
namespace {

const std::vector<char16_t>& table() {
  static const std::vector<char16_t> t = [] {
    std::vector<char16_t> v(65536);
    for (unsigned u = 0; u < 65536; ++u) v[u] = static_cast<char16_t>(u);
    for (const UpcasePair& pair : UpcasePairs()) v[pair.from] = pair.to;
    return v;
  }();
  return t;
}

// A name's units, of either kind, one at a time.
struct Units16 {
  const char16_t* at;
  char16_t operator[](size_t i) const { return at[i]; }
};
struct Units8 {
  const char* at;
  char16_t operator[](size_t i) const { return static_cast<unsigned char>(at[i]); }
};

// Calls `use` with the units of the name.
template <typename Use>
auto WithUnits(const Name& name, Use use) {
  return name.narrow() ? use(Units8{name.bytes()}) : use(Units16{name.units()});
}

template <typename A, typename B>
bool SameUnits(A a, B b, size_t size) {
  const auto& t = table();
  for (size_t i = 0; i < size; ++i)
    if (a[i] != b[i] && t[a[i]] != t[b[i]]) return false;
  return true;
}

template <typename A, typename B>
int Compare(A a, size_t aSize, B b, size_t bSize) {
  const auto& t = table();
  const size_t common = std::min(aSize, bSize);
  for (size_t i = 0; i < common; ++i) {
    if (a[i] == b[i]) continue;
    const char16_t x = t[a[i]], y = t[b[i]];
    if (x != y) return x < y ? -1 : 1;
  }
  return aSize < bSize ? -1 : aSize > bSize ? 1 : 0;
}

template <typename A>
std::uint64_t Hash(A units, size_t size) {
  const auto& t = table();
  std::uint64_t h = 0xcbf29ce484222325;  // FNV-1a
  for (size_t i = 0; i < size; ++i) {
    h ^= t[units[i]];
    h *= 0x100000001b3;
  }
  return h;
}

}  // namespace

std::u16string Upcase(std::u16string_view text) {
  const auto& t = table();
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = t[text[i]];
  return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  const auto& t = table();
  for (size_t i = 0; i < a.size();) {
    // Names mostly agree unit for unit: those are passed four at a time.
    if (i + 4 <= a.size() && std::memcmp(a.data() + i, b.data() + i, 4 * sizeof(char16_t)) == 0) {
      i += 4;
      continue;
    }
    if (a[i] != b[i] && t[a[i]] != t[b[i]]) return false;
    ++i;
  }
  return true;
}

bool SameName(const Name& a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  if (!a.narrow()) return SameName(a.View(), b);
  // Names mostly agree unit for unit: four bytes are spread to four units
  // and compared with them at once (ASCII bytes are their units' low bytes).
  size_t i = 0;
  for (; i + 4 <= b.size(); i += 4) {
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, a.bytes() + i, sizeof bytes);
    std::uint64_t spread = bytes;
    spread = (spread | spread << 16) & 0x0000FFFF0000FFFF;
    spread = (spread | spread << 8) & 0x00FF00FF00FF00FF;
    std::uint64_t units = 0;
    std::memcpy(&units, b.data() + i, sizeof units);
    if (spread != units) break;
  }
  return SameUnits(Units8{a.bytes() + i}, Units16{b.data() + i}, b.size() - i);
}

bool SameName(const Name& a, const Name& b) {
  if (a.size() != b.size()) return false;
  if (!a.narrow()) return SameName(b, a.View());
  if (!b.narrow()) return SameName(a, b.View());
  // Two ASCII names mostly agree byte for byte.
  return std::memcmp(a.bytes(), b.bytes(), a.size()) == 0 || SameUnits(Units8{a.bytes()}, Units8{b.bytes()}, a.size());
}

int CompareUpcased(std::u16string_view a, std::u16string_view b) {
  return Compare(Units16{a.data()}, a.size(), Units16{b.data()}, b.size());
}

int CompareUpcased(const Name& a, const Name& b) {
  return WithUnits(
      a, [&a, &b](auto x) { return WithUnits(b, [&a, &b, x](auto y) { return Compare(x, a.size(), y, b.size()); }); });
}

std::uint64_t SortKey(const Name& name) {
  const auto& t = table();
  std::uint64_t key = 0;
  size_t i = 0;
  for (; i < 8 && i < name.size(); ++i) {
    const char16_t unit = t[name[i]];
    key = key << 8 | std::min<char16_t>(unit, 0xFF);
    if (unit >= 0xFF) {
      ++i;
      break;
    }
  }
  return i == 0 ? 0 : key << (8 * (8 - i));
}

std::uint64_t HashUpcased(std::u16string_view text) { return Hash(Units16{text.data()}, text.size()); }

std::uint64_t HashUpcased(const Name& name) {
  return WithUnits(name, [&name](auto units) { return Hash(units, name.size()); });
}

}  // namespace standin
