// The message box on Windows. The texts are code page 932; shown through
// the wide message box, they read the same on a Windows of any language.
// The program has no window of its own: each box takes the foreground and
// stays on top, so that it is not left behind the elevation prompt or the
// folder it was started from. Where no desktop can be seen (session 0,
// where services and deployment tools run programs as SYSTEM) a box would
// wait unseen until the caller gives up: it is not shown at all.
#include "platform/Dialogs.h"

#include <string>

#include "platform/windows/CodePages.h"

namespace {

constexpr UINT kCodePage932 = 932;

// Whether the process's window station is the visible, interactive one.
// When that cannot be told, the box is tried: MessageBoxW fails with 0
// where it cannot be shown.
bool DesktopVisible() {
  HWINSTA station = GetProcessWindowStation();
  USEROBJECTFLAGS flags{};
  if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

int ShowMessageBox(const TMessage& text, LPCSTR caption, UINT flags) {
  if (!DesktopVisible()) return 0;
  const int button = MessageBoxW(nullptr, WideMessage(kCodePage932, text).c_str(),
                                 WideFrom(kCodePage932, caption).c_str(), flags | MB_SETFOREGROUND | MB_TOPMOST);
  // A box that cannot be shown gives 0 on Windows and -1 under Wine.
  return button == IDOK || button == IDCANCEL ? button : 0;
}
