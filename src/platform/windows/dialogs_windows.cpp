// The message box on Windows. The texts are code page 932; shown through
// the wide message box, they read the same on a Windows of any language.
// The program has no window of its own: each box takes the foreground and
// stays on top, so that it is not left behind the elevation prompt or the
// folder it was started from.
#include <string>

#include "platform/dialogs.h"

namespace {

constexpr UINT kCodePage932 = 932;

std::wstring Wide(LPCSTR text) {
  const int length = MultiByteToWideChar(kCodePage932, 0, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length : 1, L'\0');
  if (length > 0) MultiByteToWideChar(kCodePage932, 0, text, -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

}  // namespace

int ShowMessageBox(LPCSTR text, LPCSTR caption, UINT flags) {
  return MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), flags | MB_SETFOREGROUND | MB_TOPMOST);
}
