// One run of the cleaner: confirmation, both passes, saving, completion.
#pragma once

#include <string>

// Gives the exit code: 0, unless the deletions could not be saved (3) or
// the backup asked for in `backupFile` could not be written (4: then
// nothing was removed). An empty `backupFile` asks for none.
int RunCleanup(const std::string& backupFile = {});
