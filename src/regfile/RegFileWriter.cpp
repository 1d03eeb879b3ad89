#include "regfile/RegFileWriter.h"

#include <bit>

#include "regfile/Cp932.h"
#include "regfile/Utf16le.h"

namespace regfile {

std::string_view ByteOrderMark(Encoding encoding) { return encoding == Encoding::kUtf16 ? "\xFF\xFE" : ""; }

void AppendKeyLineStart(std::u16string& out, std::uint8_t root, RootSpelling spelling) {
  const RootName& names = NameOfRoot(root);
  out += u'[';
  out += spelling == RootSpelling::kLong ? names.longName : names.shortName;
}

void AppendKeyLineEnd(std::u16string& out, std::u16string_view newline) {
  out += u']';
  out += newline;
}

std::string_view Encoded(std::u16string_view text, Encoding encoding, std::string& buffer) {
  if (encoding == Encoding::kUtf16 && std::endian::native == std::endian::little)
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
  if (encoding == Encoding::kUtf16) {
    buffer.clear();
    AppendUtf16Le(buffer, text);
    return buffer;
  }
  // The buffer only grows, so that its bytes are not cleared again for each piece.
  if (buffer.size() < text.size() * 2) buffer.resize(text.size() * 2);
  return {buffer.data(), regfile::Utf16LeToCp932(text.data(), text.size(), buffer.data())};
}

}  // namespace regfile
