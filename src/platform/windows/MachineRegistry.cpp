// The machine's registry on Windows: the machine's own, in its views.
#include "platform/MachineRegistry.h"

#include "platform/ErrorText.h"

namespace {

// Held by the run that changes the registry, in the namespace every
// session shares: SYSTEM's run and an administrator's exclude each other.
constexpr wchar_t kRunMutex[] = L"Global\\t_uninst-changes-the-registry";

}  // namespace

TAttached AttachMachineRegistry(TRegistryUse use, TMessage& why) {
  if (use == TRegistryUse::kReadOnly) return TAttached::kReady;
  const TMessage inUse =
      "another run of t_uninst is changing this machine's registry; nothing was asked or changed: run t_uninst "
      "again when it is done";
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kRunMutex);
  if (mutex == nullptr) {
    const DWORD created = GetLastError();
    // Refused: a run of another user holds it, or this user may not make
    // an object every session sees (then no run holds it, and the run goes
    // on, as alone as it can be).
    if (HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, kRunMutex);
        held != nullptr || GetLastError() != ERROR_FILE_NOT_FOUND) {
      if (held != nullptr) CloseHandle(held);
      why = inUse;
      return TAttached::kInUse;
    }
    if (created != ERROR_ACCESS_DENIED) {
      why = TMessage("the registry cannot be taken for this run: ") + ErrorText(static_cast<LONG>(created));
      return TAttached::kRefused;
    }
    return TAttached::kReady;
  }
  // Owned from here until the process ends, whichever way: Windows then
  // lets it go (abandoned, if the run was killed, which frees it too).
  const DWORD waited = WaitForSingleObject(mutex, 0);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return TAttached::kReady;
  CloseHandle(mutex);
  why = inUse;
  return TAttached::kInUse;
}

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
