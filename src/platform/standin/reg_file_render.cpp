// The canonical form of one value.
#include <cstdio>

#include "cp932.h"
#include "reg_file.h"
#include "win32_standin.h"

namespace standin {
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

std::u16string Utf16Of(const std::vector<std::uint8_t>& data, size_t units) {
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  return text;
}

// A REG_SZ that regedit's "..." form holds without loss: one final NUL and
// no other, no line break, and in a REGEDIT4 file only characters the code
// page holds.
bool IsPlainString(const Value& v, bool regedit4, std::u16string& text) {
  if (v.data.size() < 2 || v.data.size() % 2 != 0) return false;
  text = Utf16Of(v.data, v.data.size() / 2);
  if (text.back() != u'\0') return false;
  text.pop_back();
  if (text.find_first_of(std::u16string_view(u"\0\r\n", 3)) != std::u16string::npos) return false;
  return !regedit4 || Cp932CanHold(text);
}

void AppendHex(std::u16string& out, size_t lineLength, const std::uint8_t* data, size_t size,
               std::u16string_view newline) {
  static const char digits[] = "0123456789abcdef";
  for (size_t i = 0; i < size; ++i) {
    out.push_back(static_cast<char16_t>(digits[data[i] >> 4]));
    out.push_back(static_cast<char16_t>(digits[data[i] & 15]));
    if (i + 1 == size) break;
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

std::u16string RenderValue(const Value& v, bool regedit4, std::u16string_view newline) {
  std::u16string out;
  if (v.name.empty()) {
    out = u"@=";
  } else {
    out.push_back(u'"');
    AppendEscaped(out, v.name);
    out += u"\"=";
  }
  std::u16string text;
  if (v.type == REG_SZ && IsPlainString(v, regedit4, text)) {
    out.push_back(u'"');
    AppendEscaped(out, text);
    out.push_back(u'"');
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x",
                  static_cast<unsigned>(v.data[0] | v.data[1] << 8 | v.data[2] << 16 | v.data[3] << 24));
    AppendAscii(out, buffer);
  } else {
    char prefix[24];
    if (v.type == REG_BINARY)
      std::snprintf(prefix, sizeof prefix, "hex:");
    else
      std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(v.type));
    AppendAscii(out, prefix);
    if (regedit4 && (v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ)) {
      // REGEDIT4 files hold these strings in the ANSI code page.
      std::string ansi = Utf16ToCp932(Utf16Of(v.data, v.data.size() / 2));
      AppendHex(out, out.size(), reinterpret_cast<const std::uint8_t*>(ansi.data()), ansi.size(), newline);
    } else {
      AppendHex(out, out.size(), v.data.data(), v.data.size(), newline);
    }
  }
  out += newline;
  return out;
}

std::u16string SectionHeader(const KeyTree& tree, const Key& key, std::uint8_t root, RootSpelling spelling) {
  const Key* base = tree.Root(root);
  std::vector<const Key*> chain;
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) chain.push_back(k);
  const RootName& names = NameOfRoot(root);
  std::u16string header = u"[";
  header += spelling == RootSpelling::kLong ? names.longName : names.shortName;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    header += u"\\";
    header += (*it)->name;
  }
  header += u"]";
  header += tree.newline;
  return header;
}

}  // namespace standin
