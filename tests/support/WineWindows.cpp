// Whether the Windows build runs under Wine: Wine's ntdll tells its version.
#include "support/Sandbox.h"

bool RunningUnderWine() {
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}
