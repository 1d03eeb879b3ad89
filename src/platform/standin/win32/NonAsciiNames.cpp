// The stand-in's keys are marked as their names and their values' names
// are read from the file or made.
#include "platform/NonAsciiNames.h"

#include "platform/standin/win32/Standin.h"

bool MayHoldNonAsciiNames(HKEY key) {
  const standin::Key* found = standin::KeyOfHandle(key);
  return found == nullptr || found->nonAscii;
}
