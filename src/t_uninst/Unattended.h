// What an unattended run (--quiet) says instead of its boxes, for the log
// of whoever started it: on standard output a line for each removed item,
// in the preview's form after "removed" (the program's summary line
// follows); on standard error why it failed, and the items that are still
// there.
#pragma once

#include "t_uninst/Cleanup.h"

// `backupFile` is the backup the run was asked to write, or empty.
void ReportInLines(const TCleanupOutcome& outcome, const std::string& backupFile);
