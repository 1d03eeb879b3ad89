// The run's log (--log FILE), for whoever deploys the program: a header
// line per run, then a line for each thing that happened as it happens,
// the answer to the box, and the end with its exit code. FILE is appended
// to, UTF-8 (with a byte-order mark when new); a run without --log keeps
// none and these do nothing.
#pragma once

#include <string>

#include "platform/Message.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/ExitCode.h"

// Opens FILE and writes the header: the time with its UTC offset, the
// program and its version, the computer, the user and whether elevated,
// `commandLine`, and the registry. On failure gives false with the reason.
bool OpenLog(const std::string& file, const TMessage& commandLine, TMessage& error);

// Appends one line, given without its end.
void Log(const TMessage& line);

// As a removal is tried, before anything is saved: the item and the
// registry's answer, and whether a removal that succeeded already took
// effect or waits for the save.
void LogRemovalTried(const TRemoval& item, LONG answer, bool namedViews);

// What the cleaning did: a line for each item removed, and for each left
// with the registry's reason (or the backup's, for one withheld from
// removal), or why nothing was removed or saved.
void LogOutcome(const TCleanupOutcome& outcome);

// The last line: the exit code and what it means.
void LogEnd(ExitCode code);

// The log's file, or empty when the run keeps none.
const std::string& LogFile();
