// A key's full name from the kernel, which also names the view it lies in.
#include "platform/KeyIdentity.h"

#include <vector>

namespace {

using NtQueryKeyFunction = LONG(WINAPI*)(HANDLE key, int informationClass, void* information, ULONG length,
                                         ULONG* resultLength);
constexpr int kKeyNameInformation = 3;

}  // namespace

std::basic_string<WCHAR> KeyIdentity(HKEY key) {
  static const auto query = reinterpret_cast<NtQueryKeyFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryKey")));
  if (query == nullptr) return {};
  // KEY_NAME_INFORMATION: the name's length in bytes, then the name.
  constexpr ULONG kBytes = 32768;
  std::vector<ULONG> buffer(kBytes / sizeof(ULONG));
  ULONG length = 0;
  if (query(key, kKeyNameInformation, buffer.data(), kBytes, &length) != 0) return {};
  const auto* name = reinterpret_cast<const WCHAR*>(buffer.data() + 1);
  std::basic_string<WCHAR> identity(name, buffer[0] / sizeof(WCHAR));
  CharUpperBuffW(identity.data(), static_cast<DWORD>(identity.size()));
  return identity;
}
