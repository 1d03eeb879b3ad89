#include "registry/TKeyHandle.h"

#include <utility>

TKeyHandle::TKeyHandle(TKeyHandle&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

TKeyHandle& TKeyHandle::operator=(TKeyHandle&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

LONG TKeyHandle::Open(HKEY base, const char* subKey, REGSAM rights) {
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExA(base, subKey, 0, rights, &opened);
  // What a failed open wrote to its result is not a key to close.
  if (rc == ERROR_SUCCESS) *this = TKeyHandle(opened);
  return rc;
}

LONG TKeyHandle::Open(HKEY base, const WCHAR* subKey, REGSAM rights) {
  HKEY opened = nullptr;
  const LONG rc = RegOpenKeyExW(base, subKey, 0, rights, &opened);
  if (rc == ERROR_SUCCESS) *this = TKeyHandle(opened);
  return rc;
}

void TKeyHandle::Close() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
}
