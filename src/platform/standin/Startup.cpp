// The program's start on systems without Windows.
#include "platform/Startup.h"

void LimitDllSearch() {}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

std::string CommandLineAsGiven(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) {
    if (!text.empty()) text += ' ';
    text += word.find_first_of(" \t") == std::string::npos && !word.empty() ? word : "\"" + word + "\"";
  }
  return text;
}
