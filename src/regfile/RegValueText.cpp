#include "regfile/RegValueText.h"

#include "regfile/RegType.h"
#include "regfile/Utf16le.h"

namespace regfile {
namespace {

// regedit wraps hex data once a line reaches this column.
constexpr size_t kHexWrapColumn = 77;

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

// A number in lowercase hex digits, at least `digits` of them.
void AppendHexNumber(std::u16string& out, std::uint32_t n, int digits) {
  while (digits < 8 && n >> (4 * digits) != 0) ++digits;
  for (int d = digits - 1; d >= 0; --d) out.push_back(kHexDigits[n >> (4 * d) & 15]);
}

// The escape regedit writes for a unit, or null for one written as it is.
// Every unit it escapes lies at or below '\\'.
const char16_t* EscapeOf(char16_t c) {
  switch (c) {
    case u'\\':
      return u"\\\\";
    case u'"':
      return u"\\\"";
    case u'\n':
      return u"\\n";
    case u'\r':
      return u"\\r";
    case u'\0':
      return u"\\0";
    default:
      return nullptr;
  }
}

// Appends the text escaped, copying the runs between escapes whole.
void AppendEscaped(std::u16string& out, std::u16string_view text) {
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c > u'\\' || (c != u'\\' && c != u'"' && c != u'\n' && c != u'\r' && c != u'\0')) continue;
    const char16_t* escape = EscapeOf(c);
    if (escape == nullptr) continue;
    out.append(text.data() + run, i - run);
    out += escape;
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
}

std::u16string Utf16Of(std::span<const std::uint8_t> data) {
  std::u16string text;
  regfile::AppendUtf16LeText(data.data(), data.size() / 2, text);
  return text;
}

// Appends a REG_SZ in regedit's "..." form, quotes included, when that form
// holds it without loss: one final NUL and no other, no line break, and in
// a REGEDIT4 file only characters the code page holds. Else appends nothing
// and gives false.
bool AppendPlainString(std::u16string& out, std::span<const std::uint8_t> data, const TAnsiForm* ansi) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  const size_t units = data.size() / 2 - 1;
  if (regfile::Utf16LeUnit(data.data() + 2 * units) != u'\0') return false;
  const size_t start = out.size();
  // Room for every unit escaped; what is not used is given back below.
  out.resize(start + 2 * units + 2);
  char16_t* to = out.data() + start;
  *to++ = u'"';
  for (size_t i = 0; i < units; ++i) {
    const char16_t c = regfile::Utf16LeUnit(data.data() + 2 * i);
    if (c <= u'\\') {
      if (c == u'\0' || c == u'\r' || c == u'\n') {
        out.resize(start);
        return false;
      }
      if (c == u'\\' || c == u'"') *to++ = u'\\';
    }
    *to++ = c;
  }
  *to++ = u'"';
  out.resize(static_cast<size_t>(to - out.data()));
  if (ansi != nullptr && !ansi->CanHold(std::u16string_view(out).substr(start))) {
    out.resize(start);
    return false;
  }
  return true;
}

// Hex bytes after the value's "name"=hex(N): prefix, which began at `start`.
void AppendHex(std::u16string& out, size_t start, std::span<const std::uint8_t> data, std::u16string_view newline) {
  size_t lineLength = out.size() - start;
  // A line at a time: a line wraps once its bytes reach the column, so it
  // holds at most kHexWrapColumn / 3 + 1 of them, each with its comma.
  char16_t line[3 * (kHexWrapColumn / 3 + 2)];
  size_t n = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    line[n++] = kHexDigits[data[i] >> 4];
    line[n++] = kHexDigits[data[i] & 15];
    if (i + 1 == data.size()) break;
    line[n++] = u',';
    lineLength += 3;
    if (lineLength >= kHexWrapColumn) {
      line[n++] = u'\\';
      out.append(line, n);
      n = 0;
      out += newline;
      out += u"  ";
      lineLength = 2;
    }
  }
  out.append(line, n);
}

}  // namespace

void AppendRegValue(std::u16string& out, std::u16string_view name, std::uint32_t type,
                    std::span<const std::uint8_t> data, std::u16string_view newline, const TAnsiForm* ansi) {
  const size_t start = out.size();
  if (name.empty()) {
    out += u"@=";
  } else {
    out.push_back(u'"');
    AppendEscaped(out, name);
    out += u"\"=";
  }
  if (type == regfile::kString && AppendPlainString(out, data, ansi)) {
    out += newline;
    return;
  }
  if (type == regfile::kDword && data.size() == 4) {
    out += u"dword:";
    AppendHexNumber(out, static_cast<std::uint32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24), 8);
  } else {
    if (type == regfile::kBinary) {
      out += u"hex:";
    } else {
      out += u"hex(";
      AppendHexNumber(out, type, 1);
      out += u"):";
    }
    if (ansi != nullptr && (type == regfile::kExpandString || type == regfile::kMultiString)) {
      // REGEDIT4 files hold these strings in the ANSI code page.
      const std::string bytes = ansi->Encode(Utf16Of(data));
      AppendHex(out, start, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, newline);
    } else {
      AppendHex(out, start, data, newline);
    }
  }
  out += newline;
}

}  // namespace regfile
