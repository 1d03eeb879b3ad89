// deny_rights.exe 64|32 PATH RIGHTS: gives the key PATH below
// HKEY_LOCAL_MACHINE, in the 64-bit or 32-bit view, a DACL that refuses
// RIGHTS (a number, such as 0x10000 for DELETE) to everyone; RIGHTS 0
// grants every right again.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/Rights.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: deny_rights 64|32 PATH RIGHTS\n");
    return 2;
  }
  const REGSAM view = std::string(argv[1]) == "32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  const auto rights = static_cast<REGSAM>(std::strtoul(argv[3], nullptr, 0));
  const LONG rc = rights != 0 ? DenyRights(HKEY_LOCAL_MACHINE, argv[2], view, rights)
                              : AllowAllRights(HKEY_LOCAL_MACHINE, argv[2], view);
  if (rc != ERROR_SUCCESS) std::fprintf(stderr, "deny_rights: %s: error %ld\n", argv[2], static_cast<long>(rc));
  return rc == ERROR_SUCCESS ? 0 : 1;
}
