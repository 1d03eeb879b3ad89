// A key handle the registry gave, and the one place that closes it: its
// owner closes it when the owner goes or takes another key, on every path,
// an exception's included. The accessor's opened key is not held this way:
// it has a life of its own (TRegistry::Opened).
#pragma once

#include "platform/Win32.h"

class TKeyHandle {
 public:
  TKeyHandle() = default;
  // Takes a key to close; null holds none.
  explicit TKeyHandle(HKEY key) : key_(key) {}
  ~TKeyHandle() { Close(); }
  TKeyHandle(TKeyHandle&& other) noexcept;
  TKeyHandle& operator=(TKeyHandle&& other) noexcept;
  TKeyHandle(const TKeyHandle&) = delete;
  TKeyHandle& operator=(const TKeyHandle&) = delete;

  // Opens an existing subkey of `base` as RegOpenKeyExA (or W) does, and
  // gives the registry's answer. On success the key held before is closed
  // and the new one held; on failure the key held before stays.
  LONG Open(HKEY base, const char* subKey, REGSAM rights);
  LONG Open(HKEY base, const WCHAR* subKey, REGSAM rights);

  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  void Close();

  HKEY key_ = nullptr;
};
