// The program's arguments on Windows, read from the wide command line.
#include <string_view>

#include "platform/Startup.h"
#include "platform/Win32.h"
#include "platform/windows/CodePages.h"

namespace {

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The words of a command line, as the C runtime splits them, but for one
// case: in a quoted word, a backslash (or an odd run of them) then a quote
// then a blank or the end is the folder's last separator and the closing
// quote. A .cmd file's author writes "C:\a folder\" meaning that, and the
// usual rule, which makes the quote a character of the word, would take
// in the rest of the line; no file name holds a quote.
std::vector<std::wstring> Words(std::wstring_view line) {
  std::vector<std::wstring> words;
  size_t at = 0;
  // The program's own name: quoted or up to a blank, backslashes as they are.
  std::wstring name;
  const bool quotedName = !line.empty() && line[0] == L'"';
  for (at = quotedName ? 1 : 0; at < line.size() && (quotedName ? line[at] != L'"' : !Blank(line[at])); ++at)
    name += line[at];
  words.push_back(name);
  at += quotedName && at < line.size() ? 1 : 0;
  for (;;) {
    while (at < line.size() && Blank(line[at])) ++at;
    if (at == line.size()) break;
    std::wstring word;
    bool quoted = false;
    while (at < line.size() && (quoted || !Blank(line[at]))) {
      size_t backslashes = 0;
      for (; at < line.size() && line[at] == L'\\'; ++at) ++backslashes;
      if (at == line.size() || line[at] != L'"') {
        word.append(backslashes, L'\\');
        if (at < line.size() && backslashes == 0) word += line[at++];
        continue;
      }
      const bool closesWord = at + 1 == line.size() || Blank(line[at + 1]);
      if (quoted && backslashes % 2 == 1 && closesWord) {
        word.append(backslashes, L'\\');
        quoted = false;
      } else if (backslashes % 2 == 1) {
        word.append(backslashes / 2, L'\\');
        word += L'"';
      } else if (quoted && at + 1 < line.size() && line[at + 1] == L'"') {
        // Two quotes in a quoted word are one quote in it.
        word.append(backslashes / 2, L'\\');
        word += L'"';
        ++at;
      } else {
        word.append(backslashes / 2, L'\\');
        quoted = !quoted;
      }
      ++at;
    }
    words.push_back(word);
  }
  return words;
}

}  // namespace

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/) {
  // The arguments main() gets are in the ANSI code page, which may not hold
  // a name the user gave: they are read again as Unicode, into UTF-8.
  std::vector<std::string> arguments;
  for (const std::wstring& word : Words(GetCommandLineW())) arguments.push_back(PathFrom(word));
  return arguments;
}

std::string CommandLineAsGiven(const std::vector<std::string>& /*words*/) { return PathFrom(GetCommandLineW()); }
