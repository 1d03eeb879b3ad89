// The Application event log on Windows.
#include "platform/EventLog.h"

#include "platform/ErrorText.h"
#include "platform/Win32.h"
#include "platform/windows/CodePages.h"

namespace {

// The source the entries are under: the program's name, which Event
// Viewer looks up to find the message table (docs/deploying.md says how
// to register it).
constexpr wchar_t kSource[] = L"t_uninst";

WORD TypeOf(TEventType type) {
  switch (type) {
    case TEventType::kWarning:
      return EVENTLOG_WARNING_TYPE;
    case TEventType::kError:
      return EVENTLOG_ERROR_TYPE;
    case TEventType::kInformation:
      break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

TEventWritten WriteEvent(TEventType type, unsigned long id, const std::vector<TMessage>& texts, TMessage& error) {
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const TMessage& text : texts) wide.push_back(WideMessage(CP_ACP, text));
  std::vector<LPCWSTR> strings;
  strings.reserve(wide.size());
  for (const std::wstring& text : wide) strings.push_back(text.c_str());
  const HANDLE source = RegisterEventSourceW(nullptr, kSource);
  if (source == nullptr) {
    error = ErrorText(static_cast<LONG>(GetLastError()));
    return TEventWritten::kRefused;
  }
  const bool written = ReportEventW(source, TypeOf(type), 0, id, nullptr, static_cast<WORD>(strings.size()), 0,
                                    strings.data(), nullptr) != FALSE;
  if (!written) error = ErrorText(static_cast<LONG>(GetLastError()));
  DeregisterEventSource(source);
  return written ? TEventWritten::kWritten : TEventWritten::kRefused;
}
