// A reader of records, the log's lines and the tab-separated lines of
// output, as docs/deploying.md tells a program to read them: fields split
// at tabs, each unescaped.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A record's fields as written, split at its tabs.
inline std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
    fields.emplace_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.emplace_back(line);
  return fields;
}

// Whether `text` is UTF-8 that a strict reader takes: no surrogate, no
// overlong form, nothing above U+10FFFF.
inline bool ValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char first = byte(i);
    size_t length = first < 0x80                     ? 1
                    : first >= 0xC2 && first <= 0xDF ? 2
                    : first >= 0xE0 && first <= 0xEF ? 3
                    : first >= 0xF0 && first <= 0xF4 ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    unsigned long code = length == 1 ? first : first & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      code = code << 6 | (byte(i + k) & 0x3F);
    }
    const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Calls `character` with each code point of an escaped field ("\uXXXX"
// gives its unit, a lone surrogate too) and `byte` with each "\xHH".
template <typename OnCharacter, typename OnByte>
void Unescape(std::string_view field, OnCharacter character, OnByte byte) {
  for (size_t i = 0; i < field.size();) {
    const unsigned char first = static_cast<unsigned char>(field[i]);
    if (first == '\\' && i + 1 < field.size()) {
      const char kind = field[i + 1];
      if (kind == 'u' || kind == 'x') {
        const size_t digits = kind == 'u' ? 4 : 2;
        const unsigned long value = std::strtoul(std::string(field.substr(i + 2, digits)).c_str(), nullptr, 16);
        kind == 'u' ? character(static_cast<char32_t>(value)) : byte(static_cast<unsigned char>(value));
        i += 2 + digits;
        continue;
      }
      character(kind == 't' ? U'\t' : kind == 'n' ? U'\n' : kind == 'r' ? U'\r' : static_cast<char32_t>(kind));
      i += 2;
      continue;
    }
    const size_t length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? first : first & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < field.size(); ++k) code = code << 6 | (field[i + k] & 0x3F);
    character(code);
    i += length;
  }
}

// A field as a registry name: UTF-16 units, whatever they are.
inline std::u16string UnescapedUnits(std::string_view field) {
  std::u16string units;
  Unescape(
      field,
      [&units](char32_t code) {
        if (code < 0x10000) {
          units.push_back(static_cast<char16_t>(code));
        } else {
          units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
          units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        }
      },
      [&units](unsigned char) { units.push_back(u'\xFFFD'); });
  return units;
}

// A field as a path: its bytes, whatever they are.
inline std::string UnescapedBytes(std::string_view field) {
  std::string bytes;
  Unescape(
      field,
      [&bytes](char32_t code) {
        if (code < 0x80) {
          bytes.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
          bytes += {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
        } else if (code < 0x10000) {
          bytes += {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (code & 0x3F))};
        } else {
          bytes += {static_cast<char>(0xF0 | code >> 18), static_cast<char>(0x80 | (code >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (code >> 6 & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
        }
      },
      [&bytes](unsigned char b) { bytes.push_back(static_cast<char>(b)); });
  return bytes;
}
