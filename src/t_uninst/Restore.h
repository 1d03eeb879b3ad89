// `t_uninst --restore FILE`: the backup put back (backup/Restore.h), and
// told: on standard output what each file gave, on standard error what
// could not be put back, in the log each key and value once saved.
#pragma once

#include <string>

#include "t_uninst/ExitCode.h"

// kDone; kUsage when the file cannot be read or is no backup, and nothing
// changed; kNotSaved when something could not be put back, or the registry
// could not be saved.
ExitCode RunRestore(const std::string& file);
