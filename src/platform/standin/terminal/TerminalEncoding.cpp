#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstring>

#include "platform/Files.h"
#include "platform/Output.h"
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

// Marks a given path in a message: a lead byte and a byte that follows no
// lead byte, so no code page 932 text the program shows holds it (the
// machine file's names are exact code page 932), then the path's length and
// ":". The path's own bytes may be anything.
constexpr std::string_view kGivenMark = "\x81\x7F";

std::string TextToTerminal(std::string_view text) {
  static const std::string codeset = TerminalCodeset();
  const std::string utf8 = regfile::Utf16ToUtf8(regfile::Cp932ToUtf16(text));
  return codeset == "UTF-8" ? utf8 : Reencode(utf8, codeset);
}

// Code page 932 text through `convert`, but for the paths GivenPath marked
// in it, which stay the bytes they were given.
template <class Convert>
std::string WithGivenPaths(std::string_view text, Convert convert) {
  std::string shown;
  for (size_t mark = text.find(kGivenMark); mark != std::string_view::npos; mark = text.find(kGivenMark)) {
    shown += convert(text.substr(0, mark));
    text.remove_prefix(mark + kGivenMark.size());
    size_t length = 0;
    const auto [colon, ignored] = std::from_chars(text.data(), text.data() + text.size(), length);
    text.remove_prefix(std::min(text.size(), static_cast<size_t>(colon - text.data()) + 1));
    shown.append(text.substr(0, length));
    text.remove_prefix(std::min(text.size(), length));
  }
  return shown + convert(text);
}

}  // namespace

std::string Cp932ToTerminal(std::string_view text) { return WithGivenPaths(text, TextToTerminal); }

}  // namespace standin

// A log line: UTF-8, whatever the terminal's encoding.
std::string Utf8Line(std::string_view text) {
  return standin::WithGivenPaths(
             text, [](std::string_view part) { return regfile::Utf16ToUtf8(regfile::Cp932ToUtf16(part)); }) +
         "\n";
}

std::string GivenPath(const std::string& path) {
  return std::string(standin::kGivenMark) + std::to_string(path.size()) + ":" + path;
}

std::string ShownName(const std::basic_string<WCHAR>& name) { return GivenPath(regfile::Utf16ToUtf8(name)); }
