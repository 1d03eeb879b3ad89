// The pieces of a .reg file's lines that both reading a file (with its
// checks) and decoding a part of it later take apart the same way: quoted
// text, hex bytes, dword digits. Text is the file's own: UTF-16 units
// (char16_t), or code page 932 bytes (char), where a lead byte and the byte
// after it are one character, so that a second byte "\" is never taken for
// a separator or an escape.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

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

template <typename Char>
int HexDigit(Char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether every byte is ASCII, eight a step.
inline bool AsciiBytes(std::string_view s) {
  size_t i = 0;
  std::uint64_t seen = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, s.data() + i, sizeof word);
    seen |= word;
  }
  for (; i < s.size(); ++i) seen |= static_cast<unsigned char>(s[i]);
  return (seen & 0x8080808080808080) == 0;
}

// The first character `c` (ASCII) at or after `from`, or kNone; in code page
// 932 text not the second byte of a character.
inline size_t FindChar(std::u16string_view s, char16_t c, size_t from = 0) { return s.find(c, from); }
inline size_t FindChar(std::string_view s, char c, size_t from = 0) {
  // Below 0x40 no byte is a second one; nor in ASCII text.
  if (c < 0x40 || AsciiBytes(s.substr(from))) return s.find(c, from);
  for (size_t i = from; i < s.size(); i += CharSize(s[i]))
    if (s[i] == c) return i;
  return kNone;
}

// The last character `c` (ASCII), or kNone.
inline size_t FindLastChar(std::u16string_view s, char16_t c) { return s.rfind(c); }
inline size_t FindLastChar(std::string_view s, char c) {
  if (c < 0x40 || AsciiBytes(s)) return s.rfind(c);
  size_t last = kNone;
  for (size_t i = 0; i < s.size(); i += CharSize(s[i]))
    if (s[i] == c) last = i;
  return last;
}

// Whether four UTF-16 units, or eight code page 932 bytes, from `at` are
// all plain text of a quoted string: none is '"', '\\', a control character
// up to '\r' or (for bytes) beyond ASCII. The word is added to `seen`
// when they are.
inline bool PlainWord(const char16_t* at, std::uint64_t& seen) {
  if (MayEndPlainRun(at)) return false;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  seen |= word;
  return true;
}
inline bool PlainWord(const char* at, std::uint64_t&) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kHighs = 0x8080808080808080;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  const auto below = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kHighs; };
  return ((word & kHighs) | below(word, '\r' + 1) | below(word ^ (kOnes * '"'), 1) | below(word ^ (kOnes * '\\'), 1)) ==
         0;
}
// The units or bytes PlainWord takes.
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
  std::uint64_t seen = 0;
  size_t chars = 0;  // characters read, escapes included
  size_t runStart = 0;
  size_t i = 0;
  while (i < rest.size()) {
    while (i + kWord <= rest.size() && PlainWord(rest.data() + i, seen)) {
      i += kWord;
      chars += kWord;
    }
    if (i == rest.size()) break;
    const Char c = rest[i];
    if (c != '"' && c != '\\') {
      const size_t size = CharSize(c);
      if constexpr (sizeof(Char) == 1) {
        if (static_cast<unsigned char>(c) >= 0x80) quoted.ascii = false;
      } else {
        if (c >= 0x80) quoted.ascii = false;
      }
      i += size;
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
  if (quoted.close != kNone && sizeof(Char) == 2) quoted.ascii = (seen & 0xFF80FF80FF80FF80) == 0 && quoted.ascii;
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
