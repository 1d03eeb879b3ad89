#include "regfile/Cp932.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iterator>
#include <vector>

#include "regfile/Cp932Table.h"

namespace regfile {
namespace {

constexpr char16_t kInvalid = u'\u30FB';
constexpr char16_t kNone = 0xFFFF;

// Both directions of the code page, filled once from its table in the
// sources (Cp932Table.cpp).
struct Tables {
  std::array<char16_t, 256> single{};
  std::vector<char16_t> doubles = std::vector<char16_t>(65536, kNone);       // by lead<<8|trail
  std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(65536, 0);  // 0: none

  Tables() {
    std::copy(std::begin(kCp932Singles), std::end(kCp932Singles), single.begin());
    for (int b = 255; b >= 0; --b) {
      if (!IsCp932LeadByte(static_cast<unsigned char>(b))) encode[single[b]] = static_cast<std::uint16_t>(b);
    }
    encode[kInvalid] = 0;
    for (const Cp932Pair& pair : Cp932Doubles()) doubles[pair.code] = pair.unit;
    // Where several codes share one character, Windows encodes it as the
    // earliest code, preferring IBM's rows (FA-FC) to NEC's copies (ED-EE).
    auto encodeRow = [this](int lead) {
      for (int trail = 0; trail < 256; ++trail) {
        const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
        if (doubles[code] != kNone && encode[doubles[code]] == 0) encode[doubles[code]] = code;
      }
    };
    for (int lead = 0x81; lead <= 0xFC; ++lead)
      if (IsCp932LeadByte(static_cast<unsigned char>(lead)) && lead != 0xED && lead != 0xEE) encodeRow(lead);
    encodeRow(0xED);
    encodeRow(0xEE);
    encode[0] = 0;
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

// Text is mostly ASCII, which is itself in the code page: these find runs
// of it a 64-bit word at a time, so that only the rest is looked up.
constexpr std::uint64_t kByteHighBits = 0x8080808080808080;
constexpr std::uint64_t kUnitNonAsciiBits = 0xFF80FF80FF80FF80;

// Whether the eight bytes at `at` are all ASCII.
bool EightAscii(const void* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return (word & kByteHighBits) == 0;
}

// Whether the four UTF-16LE units at `at` are all ASCII.
bool FourAsciiUnits(const void* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return (word & kUnitNonAsciiBits) == 0;
}

// Eight ASCII bytes as eight units, and eight ASCII UTF-16LE units as
// eight bytes: on a little-endian machine a word's bytes are spread or
// gathered by shifts, four to a 64-bit word; elsewhere one at a time.
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

void WidenEightAscii(const char* from, char16_t* to) {
  if constexpr (kLittleEndian) {
    for (size_t half = 0; half < 8; half += 4) {
      std::uint32_t bytes = 0;
      std::memcpy(&bytes, from + half, sizeof bytes);
      std::uint64_t units = bytes;
      units = (units | units << 16) & 0x0000FFFF0000FFFF;
      units = (units | units << 8) & 0x00FF00FF00FF00FF;
      std::memcpy(to + half, &units, sizeof units);
    }
  } else {
    for (size_t k = 0; k < 8; ++k) to[k] = static_cast<unsigned char>(from[k]);
  }
}

void NarrowEightAscii(const std::uint8_t* from, char* to) {
  if constexpr (kLittleEndian) {
    for (size_t half = 0; half < 8; half += 4) {
      std::uint64_t units = 0;
      std::memcpy(&units, from + 2 * half, sizeof units);
      units = (units | units >> 8) & 0x0000FFFF0000FFFF;
      const auto bytes = static_cast<std::uint32_t>(units | units >> 16);
      std::memcpy(to + half, &bytes, sizeof bytes);
    }
  } else {
    for (size_t k = 0; k < 8; ++k) to[k] = static_cast<char>(from[2 * k]);
  }
}

}  // namespace

bool IsCp932LeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string out;
  Cp932ToUtf16(bytes, out);
  return out;
}

void Cp932ToUtf16(std::string_view bytes, std::u16string& out) {
  out.clear();
  AppendCp932AsUtf16(bytes, out);
}

void AppendCp932AsUtf16(std::string_view bytes, std::u16string& out) {
  const size_t at = out.size();
  out.resize(at + bytes.size());
  out.resize(at + Cp932ToUtf16Units(bytes, out.data() + at));
}

size_t Cp932ToUtf16Units(std::string_view bytes, char16_t* out) {
  const Tables& t = tables();
  char16_t* to = out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    // Runs of ASCII, eight bytes a step: each byte is its own unit.
    for (; i + 8 <= bytes.size() && EightAscii(bytes.data() + i); i += 8, to += 8)
      WidenEightAscii(bytes.data() + i, to);
    if (i == bytes.size()) break;
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      *to++ = b;  // ASCII is itself in code page 932
    } else if (!IsCp932LeadByte(b)) {
      *to++ = t.single[b];
    } else if (i + 1 < bytes.size()) {
      char16_t u = t.doubles[b << 8 | static_cast<unsigned char>(bytes[++i])];
      *to++ = u != kNone ? u : kInvalid;
    } else {
      *to++ = kInvalid;
    }
  }
  return static_cast<size_t>(to - out);
}

std::string Utf16ToCp932(std::u16string_view text) {
  std::string out;
  Utf16ToCp932(text, out);
  return out;
}

void Utf16ToCp932(std::u16string_view text, std::string& out) { Utf16LeToCp932(text.data(), text.size(), out); }

void Utf16LeToCp932(const void* units, size_t count, std::string& out) {
  out.resize(count * 2);
  out.resize(Utf16LeToCp932(units, count, out.data()));
}

size_t Utf16LeToCp932(const void* units, size_t count, char* out) {
  const Tables& t = tables();
  const auto* bytes = static_cast<const std::uint8_t*>(units);
  char* to = out;
  for (size_t i = 0; i < count; ++i) {
    // Runs of ASCII, eight units a step: each unit's low byte is its byte.
    for (; i + 8 <= count && FourAsciiUnits(bytes + 2 * i) && FourAsciiUnits(bytes + 2 * i + 8); i += 8, to += 8)
      NarrowEightAscii(bytes + 2 * i, to);
    for (; i + 4 <= count && FourAsciiUnits(bytes + 2 * i); i += 4, to += 4)
      for (size_t k = 0; k < 4; ++k) to[k] = static_cast<char>(bytes[2 * (i + k)]);
    if (i == count) break;
    const auto u = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    if (u < 0x80) {
      *to++ = static_cast<char>(u);
      continue;
    }
    const std::uint16_t code = t.encode[u];
    if (code == 0) {
      *to++ = '?';
    } else if (code > 0xFF) {
      *to++ = static_cast<char>(code >> 8);
      *to++ = static_cast<char>(code & 0xFF);
    } else {
      *to++ = static_cast<char>(code);
    }
  }
  return static_cast<size_t>(to - out);
}

bool Cp932CanHold(std::u16string_view text) {
  const Tables& t = tables();
  for (size_t i = 0; i < text.size(); ++i) {
    while (i + 4 <= text.size() && FourAsciiUnits(text.data() + i)) i += 4;
    if (i == text.size()) break;
    if (text[i] >= 0x80 && t.encode[text[i]] == 0) return false;
  }
  return true;
}

size_t FirstInexactCp932(std::string_view bytes, size_t& length) {
  const Tables& t = tables();
  for (size_t i = 0; i < bytes.size(); ++i) {
    while (i + 8 <= bytes.size() && EightAscii(bytes.data() + i)) i += 8;
    if (i == bytes.size()) break;
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) continue;
    if (!IsCp932LeadByte(b)) {
      if (t.single[b] == kInvalid || t.encode[t.single[b]] != b) {
        length = 1;
        return i;
      }
      continue;
    }
    if (i + 1 == bytes.size()) {
      length = 1;
      return i;
    }
    const auto code = static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(bytes[i + 1]));
    const char16_t u = t.doubles[code];
    if (u == kNone || t.encode[u] != code) {
      length = 2;
      return i;
    }
    ++i;
  }
  return std::string_view::npos;
}

size_t Cp932Size(const std::uint8_t* utf16le, size_t units) {
  const Tables& t = tables();
  size_t size = 0;
  for (size_t i = 0; i < units; ++i) {
    while (i + 4 <= units && FourAsciiUnits(utf16le + 2 * i)) {
      size += 4;
      i += 4;
    }
    if (i == units) break;
    size += t.encode[utf16le[2 * i] | utf16le[2 * i + 1] << 8] > 0xFF ? 2 : 1;
  }
  return size;
}

}  // namespace regfile
