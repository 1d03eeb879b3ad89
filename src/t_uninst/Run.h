// One run of the cleaner: confirmation, both passes, saving, completion.
#pragma once

// Gives the exit code: 0, unless the deletions could not be saved.
int RunCleanup();
