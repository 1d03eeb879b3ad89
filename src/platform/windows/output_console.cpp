// Output on Windows: the program is a windowed one, so it writes to the
// console it was started from, if any, or to where its output goes.
#include <string>

#include "platform/output.h"
#include "platform/win32.h"

namespace {

void Write(DWORD which, std::string_view text) {
  static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  (void)attached;
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // Redirected to a file or a pipe: in the console's code page, as `type`
  // and the programs of a pipe read it, or the ANSI one without a console.
  const UINT console = GetConsoleOutputCP();
  const UINT codePage = console != 0 ? console : GetACP();
  const int size = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(codePage, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void WriteOutput(std::string_view text) { Write(STD_OUTPUT_HANDLE, text); }

void WriteError(std::string_view text) { Write(STD_ERROR_HANDLE, text); }
