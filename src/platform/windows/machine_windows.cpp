// The run's platform on Windows: the registry is the machine's own.
#include <iterator>

#include "platform/machine.h"
#include "platform/output.h"
#include "platform/windows/code_pages_windows.h"

bool AttachMachineRegistry(TRegistryUse) { return true; }

bool RemovalsTakeEffectAtOnce() { return true; }

// Windows names its keys as regedit shows them: nothing to add.
std::string KeyAsTheUserFindsIt(HKEY, REGSAM, const std::string&) { return {}; }

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

TRunPlace RunPlace() {
  TRunPlace place;
  // Wide, so that a name outside the ANSI code page stays whole.
  wchar_t name[257] = L"";
  DWORD size = std::size(name);
  if (GetComputerNameW(name, &size)) place.Computer = PathFrom(std::wstring_view(name, size));
  size = std::size(name);
  if (GetUserNameW(name, &size)) place.User = PathFrom(name);
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    TOKEN_ELEVATION elevation{};
    DWORD length = 0;
    place.Elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &length) &&
                     elevation.TokenIsElevated != 0;
    CloseHandle(token);
  }
  place.Registry =
      RegistryViews().size() > 1 ? "this machine's registry, 64-bit and 32-bit views" : "this machine's registry";
  return place;
}

bool InstallerBusy() {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\_MSIExecute");
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}
