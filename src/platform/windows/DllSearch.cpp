// DLLs from System32 only. The program runs elevated, often from a folder
// of downloads: a version.dll or uxtheme.dll lying beside it must never be
// loaded in place of the system's own.
#include "platform/Startup.h"
#include "platform/Win32.h"

namespace {
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directoryFlags);
}

void LimitDllSearch() {
  // Windows 8 and later, and Windows 7 with its loader update; a Windows 7
  // without it still starts, with only the current folder taken out below.
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}
