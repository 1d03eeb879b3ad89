// The letter case of names as data in the sources (tools/make_text_tables.py
// writes it), so that no host's locale decides which names are the same.
#pragma once

#include <span>

namespace standin {

// Every UTF-16 unit whose simple uppercase is another unit of the BMP, with
// that unit; the rest upper-case to themselves.
struct UpcasePair {
  char16_t from;
  char16_t to;
};
std::span<const UpcasePair> UpcasePairs();

}  // namespace standin
