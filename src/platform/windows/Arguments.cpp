// The program's arguments on Windows, read from the wide command line.
#include "platform/Startup.h"
#include "platform/Win32.h"
#include "platform/windows/CodePages.h"

// After windows.h: the lean windows.h leaves the shell's functions out.
#include <shellapi.h>

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  // The arguments main() gets are in the ANSI code page, which may not hold
  // a name the user gave: they are read again as Unicode, into UTF-8.
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(PathFrom(words[i]));
  LocalFree(static_cast<HLOCAL>(words));
  return arguments;
}
