// An access control list set as an administrator sets one.
#include <aclapi.h>

#include "registry/TKeyHandle.h"
#include "support/Rights.h"

namespace {

// A protected DACL: `denied` refused to Everyone, if any, then every right granted.
LONG SetDacl(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  TKeyHandle key;
  LONG rc = key.Open(root, path.c_str(), WRITE_DAC | view);
  if (rc != ERROR_SUCCESS) return rc;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  EXPLICIT_ACCESSA entries[2] = {};
  for (EXPLICIT_ACCESSA& entry : entries) {
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = static_cast<LPSTR>(everyone);
  }
  entries[0].grfAccessPermissions = denied;
  entries[0].grfAccessMode = DENY_ACCESS;
  entries[1].grfAccessPermissions = KEY_ALL_ACCESS;
  entries[1].grfAccessMode = GRANT_ACCESS;
  const ULONG count = denied != 0 ? 2 : 1;
  PACL acl = nullptr;
  rc = static_cast<LONG>(SetEntriesInAclA(count, denied != 0 ? entries : entries + 1, nullptr, &acl));
  if (rc == ERROR_SUCCESS)
    rc = static_cast<LONG>(SetSecurityInfo(key.Get(), SE_REGISTRY_KEY,
                                           DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, acl, nullptr));
  LocalFree(acl);
  FreeSid(everyone);
  return rc;
}

}  // namespace

LONG DenyRights(HKEY root, const std::string& path, REGSAM view, REGSAM denied) {
  return SetDacl(root, path, view, denied);
}

LONG AllowAllRights(HKEY root, const std::string& path, REGSAM view) { return SetDacl(root, path, view, 0); }
