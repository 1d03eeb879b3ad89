// What the program does first, before it reads its command line.
#pragma once

#include <string>
#include <vector>

// First thing in the program: on Windows, DLLs are loaded from System32
// only, never from the program's folder or the current one. Elsewhere
// there is nothing to limit.
void LimitDllSearch();

// The words the program was started with, its own name first, as the
// program carries paths: on Windows read again from the wide command line,
// as UTF-8, so that a name outside the ANSI code page stays whole; on the
// stand-in `argv` as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The command line as it came, for the log: on Windows the very line the
// program was given, before it was split into words; on the stand-in the
// words, a word with a blank in double quotes.
std::string CommandLineAsGiven(const std::vector<std::string>& words);
