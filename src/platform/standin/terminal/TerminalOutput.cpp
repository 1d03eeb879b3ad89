// Output on the terminal, in the encoding of the user's locale.
#include <cstdio>
#include <string>

#include "platform/Output.h"
#include "platform/standin/terminal/Terminal.h"

void WriteOutput(std::string_view text) {
  const std::string shown = standin::Cp932ToTerminal(text);
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);
}

void WriteError(std::string_view text) {
  const std::string shown = standin::Cp932ToTerminal(text);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
}
