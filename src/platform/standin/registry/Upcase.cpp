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

int CompareUpcased(std::u16string_view a, std::u16string_view b) {
  const auto& t = table();
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i] == b[i]) continue;
    const char16_t x = t[a[i]], y = t[b[i]];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::array<std::uint64_t, 2> UpcasedPrefix(std::u16string_view text) {
  const auto& t = table();
  std::array<std::uint64_t, 2> packed{};
  for (size_t i = 0; i < 8; ++i) {
    const std::uint64_t unit = i < text.size() ? t[text[i]] : 0;
    packed[i / 4] = packed[i / 4] << 16 | unit;
  }
  return packed;
}

std::uint64_t HashUpcased(std::u16string_view text) {
  const auto& t = table();
  std::uint64_t h = 0xcbf29ce484222325;  // FNV-1a
  for (char16_t c : text) {
    h ^= t[c];
    h *= 0x100000001b3;
  }
  return h;
}

}  // namespace standin
