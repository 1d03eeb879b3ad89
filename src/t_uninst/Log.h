// The run's log (--log FILE), for whoever deploys the program: a record a
// machine reads. Each line is an event, as it happens: the time with its
// UTC offset, the run's identifier (the same on all its lines, another for
// each run), the event's word, then the event's own fields, always all of
// them, each escaped (platform/Escape.h) and separated by tabs. The events
// and their fields are listed in docs/deploying.md. FILE is appended to,
// UTF-8 (with a byte-order mark when new); a run without --log keeps none
// and these do nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/Message.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/ExitCode.h"

// Opens FILE and writes the run's first event, `start`: the program and
// its version, the computer, the user, whether elevated, `commandLine`,
// and the registry. On failure (FILE cannot be opened, or that line cannot
// be written to it) gives false with the reason.
bool OpenLog(const std::string& file, const TMessage& commandLine, TMessage& error);

// Appends one event with its fields. The first write that fails is told
// on standard error, naming the file and why; the log takes no more.
void LogEvent(const char* event, const std::vector<TMessage>& fields);

// `error`: a message that says why the run, or a step of it, failed.
void LogError(const TMessage& message);

// As a removal is tried, before anything is saved: `deleting`, the item,
// and the registry's answer, and whether a removal that succeeded already
// took effect or waits for the save.
void LogRemovalTried(const TRemoval& item, LONG answer, bool namedViews);

// `backup` for each file of the backup, once written, before any removal.
void LogBackup(const TCleanupOutcome& outcome);

// What the cleaning did: `removed` for each item removed, `left` for each
// left with the registry's reason (or the backup's, for one withheld from
// removal), or why nothing was removed or saved.
void LogOutcome(const TCleanupOutcome& outcome);

// The last line: `end`, the exit code and the run's summary line.
void LogEnd(ExitCode code);

// The log's file, or empty when the run keeps none.
const std::string& LogFile();

// Why the first write to the log that failed failed; empty while all went.
const std::string& LogFailure();
