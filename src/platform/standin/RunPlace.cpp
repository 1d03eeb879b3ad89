// Where the stand-in runs: the host and its user, and the machine file.
#include "platform/RunPlace.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Output.h"
#include "platform/standin/machinefile/MachineFile.h"

bool InstallerBusy() { return false; }

TRunPlace RunPlace() {
  TRunPlace place;
  char name[256] = "";
  if (gethostname(name, sizeof name - 1) == 0) place.Computer = name;
  if (const passwd* user = getpwuid(geteuid()); user != nullptr) place.User = user->pw_name;
  place.Elevated = geteuid() == 0;
  const char* path = std::getenv(standin::kRegistryVariable);
  place.Registry = "the machine file " + GivenPath(path != nullptr ? path : "");
  return place;
}
