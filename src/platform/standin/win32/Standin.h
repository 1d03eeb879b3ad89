// What the stand-in offers beyond the Win32 functions: the machine registry
// the functions work on, and settings that tests use to refuse rights.
#pragma once

#include <functional>
#include <memory>

#include "platform/Win32.h"
#include "platform/standin/registry/KeyTree.h"

namespace standin {

// The registry the Win32 functions work on. It starts empty.
KeyTree& Machine();
// Replaces it (and drops every open handle).
void ReplaceMachine(std::unique_ptr<KeyTree> tree);

// RegFlushKey calls this to make the registry permanent; without one set it
// only succeeds.
void SetFlushHandler(std::function<LONG(KeyTree&)> handler);

// The key behind an open handle, or null.
const Key* KeyOfHandle(HKEY handle);

// Makes every open of the key that asks for one of `denied` fail with
// ERROR_ACCESS_DENIED; with DELETE in it, so does RegDeleteKeyA of the key.
LONG DenyAccess(HKEY key, REGSAM denied);

}  // namespace standin
