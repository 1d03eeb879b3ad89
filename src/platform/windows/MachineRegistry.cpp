// The machine's registry on Windows: the machine's own, in its views.
#include "platform/MachineRegistry.h"

#include "platform/ErrorText.h"

TAttached AttachMachineRegistry(TRegistryUse, TMessage&) { return TAttached::kReady; }

bool SaveMachineRegistry(TMessage& why) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) {
    if (const LONG rc = RegFlushKey(root); rc != ERROR_SUCCESS) {
      why = TMessage("could not save the registry: ") + ErrorText(rc);
      return false;
    }
  }
  return true;
}

bool RemovalsTakeEffectAtOnce() { return true; }

// Windows names its keys as regedit shows them: nothing to add.
TMessage KeyAsTheUserFindsIt(HKEY, REGSAM, const std::string&) { return {}; }

std::string PlatformUsage() {
  return "It cleans this machine's registry, which needs administrator rights, and asks\n"
         "in Windows message boxes: Enter is OK, Esc is Cancel.\n";
}

std::vector<REGSAM> RegistryViews() {
  // The Installer keeps its registration in the 64-bit view, and 32-bit
  // setups theirs in the 32-bit one. A 64-bit program runs only on 64-bit
  // Windows; a 32-bit one is on 64-bit Windows when it runs under WOW64.
  constexpr bool k64BitProgram = sizeof(void*) == 8;
  BOOL wow64 = FALSE;
  if (k64BitProgram || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64))
    return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
  return {0};
}
