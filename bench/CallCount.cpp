// Counts the registry calls the cleaner makes. The benchmark is linked with
// --wrap for each function, so every call from the accessor comes here
// first and goes on to the stand-in's own.
#include "CallCount.h"

#include "platform/Win32.h"

namespace {
std::uint64_t calls = 0;
}

std::uint64_t RegistryCalls() { return calls; }

extern "C" {
LONG __real_RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LONG __real_RegCloseKey(HKEY);
LONG __real_RegQueryInfoKeyA(HKEY, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD,
                             LPDWORD, PFILETIME);
LONG __real_RegEnumKeyExA(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPSTR, LPDWORD, PFILETIME);
LONG __real_RegEnumValueA(HKEY, DWORD, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
LONG __real_RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
LONG __real_RegDeleteKeyA(HKEY, LPCSTR);
LONG __real_RegDeleteValueA(HKEY, LPCSTR);

LONG __wrap_RegOpenKeyExA(HKEY k, LPCSTR s, DWORD o, REGSAM d, PHKEY r) {
  ++calls;
  return __real_RegOpenKeyExA(k, s, o, d, r);
}
LONG __wrap_RegCloseKey(HKEY k) {
  ++calls;
  return __real_RegCloseKey(k);
}
LONG __wrap_RegQueryInfoKeyA(HKEY k, LPSTR c, LPDWORD cl, LPDWORD r, LPDWORD s, LPDWORD sm, LPDWORD cm, LPDWORD v,
                             LPDWORD vm, LPDWORD dm, LPDWORD sd, PFILETIME t) {
  ++calls;
  return __real_RegQueryInfoKeyA(k, c, cl, r, s, sm, cm, v, vm, dm, sd, t);
}
LONG __wrap_RegEnumKeyExA(HKEY k, DWORD i, LPSTR n, LPDWORD l, LPDWORD r, LPSTR c, LPDWORD cl, PFILETIME t) {
  ++calls;
  return __real_RegEnumKeyExA(k, i, n, l, r, c, cl, t);
}
LONG __wrap_RegEnumValueA(HKEY k, DWORD i, LPSTR n, LPDWORD l, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD dl) {
  ++calls;
  return __real_RegEnumValueA(k, i, n, l, r, t, d, dl);
}
LONG __wrap_RegQueryValueExA(HKEY k, LPCSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD dl) {
  ++calls;
  return __real_RegQueryValueExA(k, n, r, t, d, dl);
}
LONG __wrap_RegDeleteKeyA(HKEY k, LPCSTR s) {
  ++calls;
  return __real_RegDeleteKeyA(k, s);
}
LONG __wrap_RegDeleteValueA(HKEY k, LPCSTR n) {
  ++calls;
  return __real_RegDeleteValueA(k, n);
}
}
