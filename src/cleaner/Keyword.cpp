#include "cleaner/Keyword.h"

namespace {

char Lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MentionsKeyword(std::string_view text) {
  // Compared in place, a byte lowered at a time: no lowered copy to make.
  const size_t size = kProductKeyword.size();
  for (size_t at = 0; at + size <= text.size(); ++at) {
    size_t k = 0;
    while (k < size && Lowered(text[at + k]) == kProductKeyword[k]) ++k;
    if (k == size) return true;
  }
  return false;
}
