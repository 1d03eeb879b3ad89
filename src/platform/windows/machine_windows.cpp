// The run's platform on Windows: the registry is the machine's own.
#include "platform/machine.h"
#include "platform/output.h"

bool AttachMachineRegistry(TRegistryUse) { return true; }

bool RemovalsTakeEffectAtOnce() { return true; }

// Windows names its keys as regedit shows them: nothing to add.
std::string KeyAsTheUserFindsIt(HKEY, REGSAM, const std::string&) { return {}; }

std::string PlatformUsage() {
  return "It cleans this machine's registry, which needs administrator rights, and asks\n"
         "in Windows message boxes: Enter is OK, Esc is Cancel.\n";
}

std::vector<REGSAM> RegistryViews() {
  // A 32-bit program on 64-bit Windows sees the 32-bit view unless it asks;
  // the Installer keeps its registration in the 64-bit one.
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
  return {0};
}

TRestoreEnd RestoreBackup(const std::string& file) {
  WriteError("t_uninst: on Windows, put a backup back with: reg import \"" + file +
             "\" (its comments say which reg.exe each file needs)\r\n");
  return TRestoreEnd::kRefused;
}
