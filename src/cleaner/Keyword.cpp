#include "cleaner/Keyword.h"

#include <cstdint>
#include <cstring>

namespace {

char Lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The keyword's first letter: a byte lowers to it exactly when the byte
// with its 0x20 bit set is it, which lets eight bytes be tested at once.
constexpr char kFirst = kProductKeyword[0];
static_assert(kFirst >= 'a' && kFirst <= 'z');
constexpr std::uint64_t kOnes = 0x0101010101010101;

// Whether none of the eight bytes at `at` lowers to the first letter.
bool NoFirstLetter(const char* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  const std::uint64_t x = (word | 0x20 * kOnes) ^ (static_cast<std::uint64_t>(kFirst) * kOnes);
  // No byte of x is zero.
  return ((x - kOnes) & ~x & 0x80 * kOnes) == 0;
}

}  // namespace

bool MentionsKeyword(std::string_view text) {
  // Compared in place, a byte lowered at a time: no lowered copy to make.
  const size_t size = kProductKeyword.size();
  for (size_t at = 0; at + size <= text.size();) {
    if (at + 8 <= text.size() && NoFirstLetter(text.data() + at)) {
      at += 8;
      continue;
    }
    size_t k = 0;
    while (k < size && Lowered(text[at + k]) == kProductKeyword[k]) ++k;
    if (k == size) return true;
    ++at;
  }
  return false;
}
