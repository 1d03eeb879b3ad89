#include "regfile/RegValueText.h"

#include <cstdio>

#include "regfile/RegType.h"
#include "regfile/utf16le.h"

namespace {

// regedit wraps hex data once a line reaches this column.
constexpr size_t kHexWrapColumn = 77;

void AppendAscii(std::u16string& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<char16_t>(c));
}

void AppendEscaped(std::u16string& out, std::u16string_view text) {
  for (char16_t c : text) {
    switch (c) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'"':
        out += u"\\\"";
        break;
      case u'\n':
        out += u"\\n";
        break;
      case u'\r':
        out += u"\\r";
        break;
      case u'\0':
        out += u"\\0";
        break;
      default:
        out.push_back(c);
    }
  }
}

std::u16string Utf16Of(std::span<const std::uint8_t> data) {
  std::u16string text;
  regfile::AppendUtf16LeText(data.data(), data.size() / 2, text);
  return text;
}

// A REG_SZ that regedit's "..." form holds without loss: one final NUL and
// no other, no line break, and in a REGEDIT4 file only characters the code
// page holds.
bool IsPlainString(std::span<const std::uint8_t> data, const TAnsiForm* ansi, std::u16string& text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  text = Utf16Of(data);
  if (text.back() != u'\0') return false;
  text.pop_back();
  if (text.find_first_of(std::u16string_view(u"\0\r\n", 3)) != std::u16string::npos) return false;
  return ansi == nullptr || ansi->CanHold(text);
}

// Hex bytes after the value's "name"=hex(N): prefix, which began at `start`.
void AppendHex(std::u16string& out, size_t start, std::span<const std::uint8_t> data, std::u16string_view newline) {
  static const char digits[] = "0123456789abcdef";
  size_t lineLength = out.size() - start;
  for (size_t i = 0; i < data.size(); ++i) {
    out.push_back(static_cast<char16_t>(digits[data[i] >> 4]));
    out.push_back(static_cast<char16_t>(digits[data[i] & 15]));
    if (i + 1 == data.size()) break;
    out.push_back(u',');
    lineLength += 3;
    if (lineLength >= kHexWrapColumn) {
      out.push_back(u'\\');
      out += newline;
      out += u"  ";
      lineLength = 2;
    }
  }
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
  std::u16string text;
  if (type == regtype::kString && IsPlainString(data, ansi, text)) {
    out.push_back(u'"');
    AppendEscaped(out, text);
    out.push_back(u'"');
  } else if (type == regtype::kDword && data.size() == 4) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x",
                  static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24));
    AppendAscii(out, buffer);
  } else {
    char prefix[24];
    if (type == regtype::kBinary)
      std::snprintf(prefix, sizeof prefix, "hex:");
    else
      std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    AppendAscii(out, prefix);
    if (ansi != nullptr && (type == regtype::kExpandString || type == regtype::kMultiString)) {
      // REGEDIT4 files hold these strings in the ANSI code page.
      const std::string bytes = ansi->Encode(Utf16Of(data));
      AppendHex(out, start, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, newline);
    } else {
      AppendHex(out, start, data, newline);
    }
  }
  out += newline;
}
