// Output on the terminal, in the encoding of the user's locale.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Output.h"
#include "platform/standin/terminal/Terminal.h"

namespace {

std::string& Failure() {
  static std::string failure;
  return failure;
}

}  // namespace

void WriteOutput(const TMessage& text) {
  const std::string shown = standin::ToTerminal(text);
  errno = 0;
  const bool whole = std::fwrite(shown.data(), 1, shown.size(), stdout) == shown.size() && std::fflush(stdout) == 0;
  if (!whole && Failure().empty()) Failure() = std::strerror(errno != 0 ? errno : EIO);
}

const std::string& OutputFailure() { return Failure(); }

void WriteError(const TMessage& text) {
  const std::string shown = standin::ToTerminal(text);
  std::fwrite(shown.data(), 1, shown.size(), stderr);
}
