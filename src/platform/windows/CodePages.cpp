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

namespace {

constexpr std::string_view kPathMark = "\x81\x7F";

}  // namespace

std::string MarkedPath(std::string_view path) {
  std::string marked(kPathMark);
  marked.append(std::to_string(path.size())).append(":").append(path);
  return marked;
}

std::wstring WideFromMessage(UINT codePage, std::string_view text) {
  std::wstring wide;
  for (size_t mark = text.find(kPathMark); mark != std::string_view::npos; mark = text.find(kPathMark, mark)) {
    // Only a well-formed mark counts: digits, ":" and that many bytes.
    size_t at = mark + kPathMark.size(), length = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && length < text.size())
      length = length * 10 + static_cast<size_t>(text[at++] - '0');
    if (at == mark + kPathMark.size() || at >= text.size() || text[at] != ':' || length > text.size() - at - 1) {
      mark += kPathMark.size();
      continue;
    }
    wide += WideFrom(codePage, text.substr(0, mark));
    wide += WidePathFrom(text.substr(at + 1, length));
    text.remove_prefix(at + 1 + length);
    mark = 0;
  }
  return wide + WideFrom(codePage, text);
}
