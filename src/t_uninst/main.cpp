#include "../platform/machine.h"
#include "Run.h"

int main() {
  int exitCode = 0;
  if (!AttachMachineRegistry(exitCode)) return exitCode;
  return RunCleanup();
}
