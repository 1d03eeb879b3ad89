// Output on Windows: the program is a windowed one, so it writes to the
// console it was started from, if any, or to where its output goes.
#include <string>

#include "platform/Output.h"
#include "platform/Win32.h"
#include "platform/windows/CodePages.h"

namespace {

void Write(DWORD which, const TMessage& text) {
  static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  (void)attached;
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  const std::wstring wide = WideMessage(CP_ACP, text);
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // Redirected to a file or a pipe: in the console's code page, as `type`
  // and the programs of a pipe read it, or the ANSI one without a console.
  const UINT console = GetConsoleOutputCP();
  const UINT codePage = console != 0 ? console : GetACP();
  const std::string bytes = NarrowFrom(codePage, wide);
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

void WriteOutput(const TMessage& text) { Write(STD_OUTPUT_HANDLE, text); }

void WriteError(const TMessage& text) { Write(STD_ERROR_HANDLE, text); }
