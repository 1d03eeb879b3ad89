// Output on the terminal, in the encoding of the user's locale.
#include <cstdio>
#include <string>

#include "platform/Output.h"
#include "platform/standin/terminal/Terminal.h"

void WriteOutput(const TMessage& text) {
  const std::string shown = standin::ToTerminal(text);
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  std::fflush(stdout);
}

void WriteError(const TMessage& text) {
  const std::string shown = standin::ToTerminal(text);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
}
