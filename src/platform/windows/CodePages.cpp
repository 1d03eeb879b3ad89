#include "platform/windows/CodePages.h"

std::wstring WideFrom(UINT codePage, std::string_view text) {
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string NarrowFrom(UINT codePage, std::wstring_view wide) {
  const int size =
      WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

std::wstring WideMessage(UINT textCodePage, const TMessage& message) {
  std::wstring wide;
  for (const TMessage::TPart& part : message.Parts()) {
    switch (part.Kind) {
      case TMessage::TKind::kText:
        wide += WideFrom(textCodePage, part.Bytes);
        break;
      case TMessage::TKind::kAnsiName:
        wide += WideFrom(CP_ACP, part.Bytes);
        break;
      case TMessage::TKind::kPath:
        wide += WidePathFrom(part.Bytes);
        break;
      case TMessage::TKind::kName:
        wide.append(part.Units.begin(), part.Units.end());
        break;
    }
  }
  return wide;
}
