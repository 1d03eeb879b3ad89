// Rights a key refuses to everyone, as an access control list refuses them:
// on Windows (and Wine) a DACL set with SetSecurityInfo that denies them,
// on the stand-in its rights hook. Either way an open that asks for one of
// them fails; with DELETE among them, Windows and the stand-in refuse the
// key's deletion too (Wine deletes it all the same).
#pragma once

#include <string>

#include "platform/Win32.h"

// Below `root`, in the view `view` (0: the program's own).
LONG DenyRights(HKEY root, const std::string& path, REGSAM view, REGSAM denied);
// Grants every right again; needs WRITE_DAC, which the tests never deny
// (on Windows a key's owner has it whatever the list says).
LONG AllowAllRights(HKEY root, const std::string& path, REGSAM view);

// Denies rights for the length of a test: they come back when it goes, if
// the key is still there, so that the test's keys can be cleaned up.
class DeniedRights {
 public:
  DeniedRights(const std::string& machinePath, REGSAM denied);
  ~DeniedRights();
  DeniedRights(const DeniedRights&) = delete;
  DeniedRights& operator=(const DeniedRights&) = delete;

 private:
  std::string path_;
};
