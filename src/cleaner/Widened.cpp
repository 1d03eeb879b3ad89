#include "cleaner/Widened.h"

#include <algorithm>

std::basic_string<WCHAR> Widened(std::string_view ansi) {
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::basic_string<WCHAR> wide(static_cast<size_t>(std::max(length, 0)), WCHAR(0));
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}
