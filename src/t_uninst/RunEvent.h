// The run's entry in the system's event log (platform/EventLog.h), for the
// fleets that collect it: one for each run that changed the registry or
// failed. Its ID tells the outcome: 100 for a cleaning that removed what
// it found, 101 for a restore that put something back, and for a run that
// failed its exit code. Its strings are the run's summary line, the log's
// name and the backup's. The steps that know fill in the run's record as
// they end; the entry is written once, last.
#pragma once

#include <string>

#include "platform/Message.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/ExitCode.h"

struct TRunRecord {
  enum class TChange { kNone, kRemoved, kRestored };
  TChange Change = TChange::kNone;  // what the run did to the registry
  std::string Backup;               // the backup written (or to be), or put back
  TMessage Summary;                 // how the run ended, in one line; empty: the exit code's meaning
};
TRunRecord& RunRecord();

// What a cleaning did, as far as it came, and how it ended.
void RecordCleanup(const TCleanupOutcome& outcome, const std::string& backupFile);

// What a restore of `file` put back: `keys` made and `values` set.
void RecordRestore(const std::string& file, size_t keys, size_t values);

// The run's summary line: what the step that ended the run said, or else
// its exit code's meaning. One line, without its end.
TMessage SummaryLine(ExitCode code);

// Writes the entry when the run changed the registry or failed (any exit
// code but 0 and 1). It never throws and never changes how the run ends:
// when the event log will not take it, the run's log says so.
void ReportRunEvent(ExitCode code);
