// What the platform does around one run of the cleaner.
#pragma once

#include <string>
#include <vector>

#include "win32.h"

// Makes the machine's registry ready before anything is asked. On failure
// it has told the user why, and gives false with the exit code to use.
bool AttachMachineRegistry(int& exitCode);

// Puts back what a backup file holds, merged into the machine's registry,
// and saves it. Says what it did, or why it could not; gives the exit code.
int RestoreBackup(const std::string& file);

// The registry views the cleaner works through, in order: on 64-bit Windows
// the 64-bit and then the 32-bit view, elsewhere the one view there is (0).
std::vector<REGSAM> RegistryViews();
