// Where the program runs on Windows: the computer, the user, the views, and
// whether Windows Installer is busy.
#include "platform/RunPlace.h"

#include <iterator>

#include "platform/MachineRegistry.h"
#include "platform/windows/CodePages.h"

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
