// One run of the cleaner: confirmation, both passes, saving, the check
// that every planned item went, completion.
#pragma once

#include <string>

// Gives the exit code: 0, unless the deletions could not be saved (3), the
// backup asked for in `backupFile` could not be written (4: then nothing
// was removed), or planned items are still there (5). An empty
// `backupFile` asks for none. A `quiet` run asks nothing and shows no box:
// it says what it did in lines.
int RunCleanup(const std::string& backupFile = {}, bool quiet = false);
