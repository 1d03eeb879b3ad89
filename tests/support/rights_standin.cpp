// The stand-in's rights hook.
#include "platform/standin/win32/standin.h"
#include "support/Rights.h"

namespace {

LONG SetDenied(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  HKEY key = nullptr;
  LONG rc = RegOpenKeyExA(root, path.c_str(), 0, view, &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = standin::DenyAccess(key, denied);
  RegCloseKey(key);
  return rc;
}

}  // namespace

LONG DenyRights(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  return SetDenied(root, path, view, denied);
}

LONG AllowAllRights(HKEY root, const std::string& path, REGSAM view) { return SetDenied(root, path, view, 0); }
