#include "regfile/RegFileWriter.h"

#include "regfile/cp932.h"
#include "regfile/utf16le.h"

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

void AppendEncoded(std::string& out, std::u16string_view text, Encoding encoding) {
  if (encoding == Encoding::kUtf16) {
    AppendUtf16Le(out, text);
    return;
  }
  if (out.empty()) {
    standin::Utf16ToCp932(text, out);
    return;
  }
  std::string bytes;
  standin::Utf16ToCp932(text, bytes);
  out += bytes;
}

}  // namespace regfile
