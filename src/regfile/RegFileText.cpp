#include "regfile/RegFileText.h"

#include <cstring>
#include <vector>

#include "regfile/Cp932.h"
#include "regfile/RegFileSyntax.h"
#include "regfile/RegType.h"
#include "regfile/Utf16le.h"

namespace regfile {
namespace {

using syntax::Text;

// The file's text from `at` to its end, as units of its encoding.
template <typename Char>
Text<Char> From(const FileBytes& file, const char* at) {
  return {reinterpret_cast<const Char*>(at), static_cast<size_t>(file.end - at) / sizeof(Char)};
}

void AppendUnit(std::string& out, char16_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

// A quoted string's data: its units in UTF-16LE and a final NUL.
template <typename Char>
void AppendStringData(Text<Char> rest, std::string& out) {
  if constexpr (sizeof(Char) == 2) {
    syntax::ScanQuoted(
        rest,
        [&out, &rest](size_t from, size_t to) {
          out.append(reinterpret_cast<const char*>(rest.data() + from), 2 * (to - from));
        },
        [&out](char16_t unit) { AppendUnit(out, unit); });
  } else {
    std::u16string units;
    syntax::ScanQuoted(
        rest, [&units, &rest](size_t from, size_t to) { AppendCp932AsUtf16(rest.substr(from, to - from), units); },
        [&units](char16_t unit) { units.push_back(unit); });
    AppendUtf16Le(out, units);
  }
  AppendUnit(out, u'\0');
}

template <typename Char>
void AppendDwordData(Text<Char> rest, std::string& out) {
  size_t digits = 0;
  while (digits < rest.size() && digits < 8 && syntax::HexDigit(rest[digits]) >= 0) ++digits;
  std::uint32_t n = 0;
  syntax::DwordDigits(rest.substr(0, digits), n);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(n >> shift & 0xFF));
}

// The hex bytes from `rest` (after "hex...:") over the continuation lines.
template <typename Char>
void AppendHexBytes(Text<Char> rest, std::string& out) {
  const auto sink = [&out](std::uint8_t byte) { out.push_back(static_cast<char>(byte)); };
  for (bool first = true;; first = false) {
    const size_t end = syntax::FindLineEnd(rest, 0);
    Text<Char> line = syntax::Content(rest.substr(0, end == syntax::kNone ? rest.size() : end + 1));
    // A continuation line's indent is no part of its bytes.
    if (!first) line = syntax::TrimLeft(line);
    bool more = false;
    Text<Char> bad;
    syntax::HexBytes(syntax::HexPart(line, more), sink, bad);
    if (!more || end == syntax::kNone) return;
    rest.remove_prefix(end + 1);
  }
}

template <typename Char>
void AppendDataOf(const FileBytes& file, DataText form, const char* at, std::uint32_t type, std::string& out) {
  const Text<Char> rest = From<Char>(file, at);
  switch (form) {
    case DataText::kQuoted:
      AppendStringData(rest, out);
      return;
    case DataText::kDword:
      AppendDwordData(rest, out);
      return;
    case DataText::kHex:
      break;
  }
  if (!file.regedit4 || (type != kExpandString && type != kMultiString)) {
    AppendHexBytes(rest, out);
    return;
  }
  // REGEDIT4 files hold these strings in the ANSI code page.
  std::string bytes;
  AppendHexBytes(rest, bytes);
  AppendUtf16Le(out, Cp932ToUtf16(bytes));
}

}  // namespace

void AppendText(const FileBytes& file, Span span, std::u16string& out) {
  const char* at = file.begin + span.at;
  if (file.encoding == Encoding::kUtf16)
    AppendUtf16LeText(at, span.size / 2, out);
  else
    AppendCp932AsUtf16({at, span.size}, out);
}

void AppendUnquoted(const FileBytes& file, const char* at, std::u16string& out) {
  if (file.encoding == Encoding::kUtf16) {
    const Text<char16_t> rest = From<char16_t>(file, at);
    syntax::ScanQuoted(
        rest, [&out, &rest](size_t from, size_t to) { out.append(rest.data() + from, to - from); },
        [&out](char16_t unit) { out.push_back(unit); });
    return;
  }
  const Text<char> rest = From<char>(file, at);
  syntax::ScanQuoted(
      rest, [&out, &rest](size_t from, size_t to) { AppendCp932AsUtf16(rest.substr(from, to - from), out); },
      [&out](char16_t unit) { out.push_back(unit); });
}

void AppendUnquotedCp932(const FileBytes& file, const char* at, size_t units, std::string& out) {
  // Room for two bytes a unit, given back below.
  const size_t start = out.size();
  out.resize(start + 2 * units);
  char* to = out.data() + start;
  const auto unit = [&to](char16_t c) { *to++ = static_cast<char>(c); };
  if (file.encoding == Encoding::kUtf16) {
    const Text<char16_t> rest = From<char16_t>(file, at);
    syntax::ScanQuoted(
        rest,
        [&to, &rest](size_t from, size_t end) {
          // ASCII, as nearly all of it is, is narrowed in place; the rest converted.
          const char16_t* units = rest.data() + from;
          const size_t count = end - from;
          size_t i = 0;
          for (; i < count && units[i] < 0x80; ++i) to[i] = static_cast<char>(units[i]);
          to += i;
          if (i < count) to += Utf16LeToCp932(units + i, count - i, to);
        },
        unit);
  } else {
    const Text<char> rest = From<char>(file, at);
    syntax::ScanQuoted(
        rest,
        [&to, &rest](size_t from, size_t end) {
          std::memcpy(to, rest.data() + from, end - from);
          to += end - from;
        },
        unit);
  }
  out.resize(static_cast<size_t>(to - out.data()));
}

void AppendData(const FileBytes& file, DataText form, const char* at, std::uint32_t type, std::string& out) {
  if (file.encoding == Encoding::kUtf16)
    AppendDataOf<char16_t>(file, form, at, type, out);
  else
    AppendDataOf<char>(file, form, at, type, out);
}

}  // namespace regfile
