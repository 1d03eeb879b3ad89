// One run of the cleaner: confirmation, both passes, saving, the check
// that every planned item went, completion.
#pragma once

#include <string>

#include "t_uninst/ExitCode.h"

// Gives the exit code: kDone, unless the deletions could not be saved, the
// backup asked for in `backupFile` could not be written (then nothing was
// removed), planned items are still there, or the run did not finish (an
// error stopped it or cut its search short; it says what it removed). An empty
// `backupFile` asks for none. A `quiet` run asks nothing and shows no box:
// it says what it did in lines.
ExitCode RunCleanup(const std::string& backupFile = {}, bool quiet = false);
