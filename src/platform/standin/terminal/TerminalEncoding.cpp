// The terminal's encoding: the locale's character set, and messages in it.
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>

#include "platform/standin/terminal/Terminal.h"
#include "regfile/Cp932.h"
#include "regfile/Utf8.h"

namespace standin {
namespace {

// The locale's character set; the plain C locale counts as UTF-8, which
// today's terminals are.
std::string TerminalCodeset() {
  std::setlocale(LC_CTYPE, "");
  std::string codeset = nl_langinfo(CODESET);
  if (codeset == "ANSI_X3.4-1968" || codeset == "US-ASCII" || codeset.empty()) return "UTF-8";
  return codeset;
}

// UTF-8 text in another character set; what it cannot show becomes "?".
std::string Reencode(const std::string& utf8, const std::string& codeset) {
  iconv_t cd = iconv_open(codeset.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
  std::string out;
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char buffer[256];
  while (inLeft > 0) {
    char* dst = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    out.append(buffer, dst);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      out.push_back('?');
      // Skips the rest of the character that could not be converted.
      do {
        ++in;
        --inLeft;
      } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
  }
  iconv_close(cd);
  return out;
}

// UTF-8 text in the terminal's character set.
std::string FromUtf8(const std::string& utf8) {
  static const std::string codeset = TerminalCodeset();
  return codeset == "UTF-8" ? utf8 : Reencode(utf8, codeset);
}

}  // namespace

std::string ToTerminal(const TMessage& message) {
  std::string shown;
  for (const TMessage::TPart& part : message.Parts()) {
    switch (part.Kind) {
      case TMessage::TKind::kText:
      case TMessage::TKind::kAnsiName:
        shown += FromUtf8(regfile::Utf16ToUtf8(regfile::Cp932ToUtf16(part.Bytes)));
        break;
      case TMessage::TKind::kPath:
        shown += part.Bytes;
        break;
      case TMessage::TKind::kName:
        shown += FromUtf8(regfile::Utf16ToUtf8(part.Units));
        break;
    }
  }
  return shown;
}

}  // namespace standin
