#include "platform/Escape.h"

#include <cstdio>

#include "regfile/Utf8.h"

namespace {

void Hex(const char* format, unsigned value, std::string& out) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, format, value);
  out += escaped;
}

// A code point, or a lone surrogate.
void EscapeCode(char32_t code, std::string& out) {
  switch (code) {
    case '\\':
      out += "\\\\";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    default:
      break;
  }
  if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0xD800 && code <= 0xDFFF))
    Hex("\\u%04X", static_cast<unsigned>(code), out);
  else
    regfile::AppendUtf8(code, out);
}

void EscapeUnits(std::u16string_view units, std::string& out) {
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
      EscapeCode(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[++i] - 0xDC00), out);
    else
      EscapeCode(unit, out);
  }
}

// The length of the valid UTF-8 sequence at the start of `bytes` and its
// code point; 0 when the first byte begins none.
size_t Utf8Sequence(std::string_view bytes, char32_t& code) {
  const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char first = byte(0);
  size_t length = 0;
  char32_t least = 0;
  if (first < 0x80) {
    code = first;
    return 1;
  }
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2, least = 0x80, code = first & 0x1F;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, least = 0x800, code = first & 0x0F;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, least = 0x10000, code = first & 0x07;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

void EscapeBytes(std::string_view bytes, std::string& out) {
  while (!bytes.empty()) {
    char32_t code = 0;
    size_t length = Utf8Sequence(bytes, code);
    if (length == 0) {
      Hex("\\x%02X", static_cast<unsigned char>(bytes.front()), out);
      length = 1;
    } else {
      EscapeCode(code, out);
    }
    bytes.remove_prefix(length);
  }
}

}  // namespace

TMessage EscapedField(const TMessage& field) {
  std::string escaped;
  for (const TMessage::TPart& part : field.Parts()) {
    switch (part.Kind) {
      case TMessage::TKind::kText:
      case TMessage::TKind::kAnsiName:
        EscapeUnits(AnsiUnits(part.Bytes), escaped);
        break;
      case TMessage::TKind::kPath:
        EscapeBytes(part.Bytes, escaped);
        break;
      case TMessage::TKind::kName:
        EscapeUnits(part.Units, escaped);
        break;
      case TMessage::TKind::kEscaped:
        escaped += part.Bytes;
        break;
    }
  }
  return TMessage::Escaped(escaped);
}

TMessage Record(const std::vector<TMessage>& fields) {
  TMessage line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i == 0 ? TMessage() : TMessage("\t")) + EscapedField(fields[i]);
  return line;
}
