// The pieces of a .reg file's lines that both reading a file (with its
// checks) and decoding a part of it later take apart the same way: quoted
// text, hex bytes, dword digits. Text is the file's own: UTF-16 units
// (char16_t), or code page 932 bytes (char), where a lead byte and the byte
// after it are one character, so that a second byte "\" is never taken for
// a separator or an escape.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "regfile/Cp932.h"
#include "regfile/Utf16le.h"

namespace regfile::syntax {

template <typename Char>
using Text = std::basic_string_view<Char>;

constexpr size_t kNone = std::string_view::npos;

inline size_t CharSize(char16_t) { return 1; }
inline size_t CharSize(char c) { return IsCp932LeadByte(static_cast<unsigned char>(c)) ? 2 : 1; }

template <typename Char>
bool IsSpace(Char c) {
  return c == ' ' || c == '\t';
}

template <typename Char>
Text<Char> TrimLeft(Text<Char> s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  return s;
}

template <typename Char>
Text<Char> TrimRight(Text<Char> s) {
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// A line without its line end ("\n" or "\r\n").
template <typename Char>
Text<Char> Content(Text<Char> line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The value of a hex digit, or -1.
template <typename Char>
int HexDigit(Char c) {
  static constexpr auto kDigits = [] {
    std::array<std::int8_t, 128> digits{};
    for (int i = 0; i < 128; ++i)
      digits[i] = static_cast<std::int8_t>(i >= '0' && i <= '9'   ? i - '0'
                                           : i >= 'a' && i <= 'f' ? i - 'a' + 10
                                           : i >= 'A' && i <= 'F' ? i - 'A' + 10
                                                                  : -1);
    return digits;
  }();
  const auto unit = static_cast<std::make_unsigned_t<Char>>(c);
  return unit < 128 ? kDigits[unit] : -1;
}

// Where the next line end ('\n') lies at or after `from`, or kNone. The
// library's byte search finds each byte 0x0A; a UTF-16 line end is the unit
// that holds one and is '\n' (other units hold such a byte seldom). No
// character of code page 932 ends with the byte.
inline size_t FindLineEnd(std::u16string_view text, size_t from) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size() * sizeof(char16_t);
  for (size_t at = from * sizeof(char16_t); at < size;) {
    const void* found = std::memchr(bytes + at, '\n', size - at);
    if (found == nullptr) break;
    const auto byte = static_cast<size_t>(static_cast<const unsigned char*>(found) - bytes);
    if (text[byte / sizeof(char16_t)] == u'\n') return byte / sizeof(char16_t);
    at = byte + 1;
  }
  return kNone;
}
inline size_t FindLineEnd(std::string_view text, size_t from) { return text.find('\n', from); }

// Whether the byte at `at` of a code page 932 text, which starts with a
// character, is the second byte of one: the bytes that may lead a
// character just before it pair up from the first of them, which begins
// one (the byte before that ends one), so that an odd number of them makes
// it a second byte.
inline bool SecondByte(std::string_view s, size_t at) {
  size_t leads = 0;
  while (leads < at && IsCp932LeadByte(static_cast<unsigned char>(s[at - 1 - leads]))) ++leads;
  return leads % 2 != 0;
}

// The first character `c` (ASCII) at or after `from`, which is where a
// character begins, or kNone; in code page 932 text not the second byte of
// a character.
inline size_t FindChar(std::u16string_view s, char16_t c, size_t from = 0) { return s.find(c, from); }
inline size_t FindChar(std::string_view s, char c, size_t from = 0) {
  size_t at = s.find(c, from);
  // Below 0x40 no byte is a second one.
  if (c < 0x40) return at;
  while (at != kNone && SecondByte(s.substr(from), at - from)) at = s.find(c, at + 1);
  return at;
}

// The last character `c` (ASCII), or kNone.
inline size_t FindLastChar(std::u16string_view s, char16_t c) { return s.rfind(c); }
inline size_t FindLastChar(std::string_view s, char c) {
  size_t at = s.rfind(c);
  if (c < 0x40) return at;
  while (at != kNone && SecondByte(s, at)) at = at == 0 ? kNone : s.rfind(c, at - 1);
  return at;
}

// Four UTF-16 units, or eight code page 932 bytes, from `at` as a word, and
// which of them may end a run of a quoted string's plain text: '"', '\\',
// a control character up to '\r', or a character beyond ASCII. The mask has
// the high bit of each such unit or byte; the lowest is exact (higher ones
// may be set by a borrow from it), so that it tells where the run ends.
inline std::uint64_t SpecialMask(const char16_t* at) {
  constexpr std::uint64_t kOnes = 0x0001000100010001;
  constexpr std::uint64_t kHighs = 0x8000800080008000;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  const auto below = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kHighs; };
  // A unit beyond ASCII has a bit of 0xFF80; its lane is told without a
  // carry into the next.
  const std::uint64_t wide = word & 0xFF80FF80FF80FF80;
  const std::uint64_t beyond = (((wide & 0x7FFF7FFF7FFF7FFF) + 0x7FFF7FFF7FFF7FFF) | wide) & kHighs;
  return below(word, '\r' + 1) | below(word ^ (kOnes * '"'), 1) | below(word ^ (kOnes * '\\'), 1) | beyond;
}
inline std::uint64_t SpecialMask(const char* at) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  const auto below = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kHighs; };
  return (word & kHighs) | below(word, '\r' + 1) | below(word ^ (kOnes * '"'), 1) | below(word ^ (kOnes * '\\'), 1);
}

// The units or bytes SpecialMask takes.
template <typename Char>
constexpr size_t kWordUnits = 8 / sizeof(Char);

// What a quoted text holds, read from just after its opening quote.
struct Quoted {
  size_t close = kNone;  // where its closing quote is; kNone: the text ends first
  size_t units = 0;      // the UTF-16 units it stands for
  bool escaped = false;
  bool ascii = true;
};

// Reads a quoted text from just after its opening quote, as regedit reads
// it: "\\" and "\"" stand for the character, "\n", "\r" and "\0" for a line
// feed, a carriage return and a NUL, and "\" before any other character
// stands for itself. Passes the runs of text taken as they are to
// run(from, to) (positions in `rest`), and each unit an escape stands for
// to unit(c).
template <typename Char, typename Run, typename Unit>
Quoted ScanQuoted(Text<Char> rest, Run&& run, Unit&& unit) {
  constexpr size_t kWord = kWordUnits<Char>;
  Quoted quoted;
  size_t chars = 0;  // characters read, escapes included
  size_t runStart = 0;
  size_t i = 0;
  while (i < rest.size()) {
    // Plain ASCII a word at a time, up to the first unit that may end it.
    while (i + kWord <= rest.size()) {
      const std::uint64_t mask = SpecialMask(rest.data() + i);
      const size_t plain = mask == 0 ? kWord : static_cast<size_t>(std::countr_zero(mask)) / (8 * sizeof(Char));
      i += plain;
      chars += plain;
      if (plain != kWord) break;
    }
    if (i == rest.size()) break;
    const Char c = rest[i];
    if (c != '"' && c != '\\') {
      if (static_cast<std::make_unsigned_t<Char>>(c) >= 0x80) quoted.ascii = false;
      i += CharSize(c);
      ++chars;
      continue;
    }
    run(runStart, i);
    if (c == '"') {
      quoted.close = i;
      quoted.units = chars;
      break;
    }
    // A "\" that ends the line stands for itself; the text lacks its closing quote.
    if (i + 1 == rest.size()) return quoted;
    quoted.escaped = true;
    const Char e = rest[i + 1];
    runStart = i + 2;
    switch (e) {
      case '\\':
      case '"':
        unit(static_cast<char16_t>(e));
        break;
      case 'n':
        unit(u'\n');
        break;
      case 'r':
        unit(u'\r');
        break;
      case '0':
        unit(u'\0');
        break;
      default:
        // The "\" stands for itself, and the character after it begins a run.
        unit(u'\\');
        runStart = i + 1;
        i += 1;
        ++chars;
        continue;
    }
    i += 2;
    ++chars;
  }
  return quoted;
}

// The value of a dword's one to eight hex digits, or false.
template <typename Char>
bool DwordDigits(Text<Char> digits, std::uint32_t& value) {
  if (digits.empty() || digits.size() > 8) return false;
  value = 0;
  for (Char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    value = value << 4 | static_cast<std::uint32_t>(d);
  }
  return true;
}

// The bytes of one line of hex data, one or two hex digits each, separated
// by commas, passed to sink(byte). Gives false at a token that is none,
// with `bad` set to it.
template <typename Char, typename Sink>
bool HexBytes(Text<Char> part, Sink&& sink, Text<Char>& bad) {
  // Most bytes are two digits and a comma with more after it: taken at once.
  while (part.size() >= 4 && part[2] == ',' && !IsSpace(part[3])) {
    const int high = HexDigit(part[0]);
    const int low = HexDigit(part[1]);
    if (high < 0 || low < 0) break;
    sink(static_cast<std::uint8_t>(high << 4 | low));
    part.remove_prefix(3);
  }
  if (TrimLeft(part).empty()) return true;
  for (;;) {
    const size_t comma = part.find(',');
    const Text<Char> token = TrimRight(TrimLeft(part.substr(0, comma)));
    const int high = token.empty() ? -1 : HexDigit(token[0]);
    const int low = token.size() == 2 ? HexDigit(token[1]) : 0;
    if (token.size() > 2 || high < 0 || low < 0) {
      bad = token;
      return false;
    }
    sink(static_cast<std::uint8_t>(token.size() == 2 ? high << 4 | low : high));
    if (comma == kNone) return true;
    part = part.substr(comma + 1);
    // A comma may end a line that continues on the next.
    if (TrimLeft(part).empty()) return true;
  }
}

// A line of hex data without what ends it: the part with its hex bytes, and
// whether it ends in "\", which continues the data on the next line.
template <typename Char>
Text<Char> HexPart(Text<Char> rest, bool& more) {
  Text<Char> part = TrimRight(rest);
  more = !part.empty() && part.back() == '\\';
  if (more) part.remove_suffix(1);
  return part;
}

}  // namespace regfile::syntax
