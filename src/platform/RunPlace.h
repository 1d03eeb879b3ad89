// The machine and the user the program runs as, and what else runs there.
#pragma once

#include <string>

#include "platform/Message.h"

// Where and as whom the program runs, for the log and the backup's names.
struct TRunPlace {
  std::string Computer;   // the computer's name, as paths are carried (it names backups)
  std::string User;       // the user the program runs as, as Computer
  bool Elevated = false;  // with an administrator's rights
  TMessage Registry;      // the registry it works on: the views, or the machine file
};
TRunPlace RunPlace();

// Whether Windows Installer is installing something now (it holds the
// mutex Global\_MSIExecute): a run then changes nothing. Never on the
// stand-in.
bool InstallerBusy();
