// The stand-in's rights hook.
#include "platform/standin/win32/Standin.h"
#include "registry/TKeyHandle.h"
#include "support/Rights.h"

namespace {

LONG SetDenied(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  TKeyHandle key;
  const LONG rc = key.Open(root, path.c_str(), view);
  return rc != ERROR_SUCCESS ? rc : standin::DenyAccess(key.Get(), denied);
}

}  // namespace

LONG DenyRights(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  return SetDenied(root, path, view, denied);
}

LONG AllowAllRights(HKEY root, const std::string& path, REGSAM view) { return SetDenied(root, path, view, 0); }
