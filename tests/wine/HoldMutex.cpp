// Holds the mutex Windows Installer holds while it installs, until its
// standard input ends: "held" on standard output says it has it.
#include <windows.h>

#include <cstdio>

int main() {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Global\\_MSIExecute");
  if (mutex == nullptr) return 1;
  std::puts("held");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  CloseHandle(mutex);
  return 0;
}
