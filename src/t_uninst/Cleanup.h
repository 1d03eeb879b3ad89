// The cleaning that follows the user's OK, as data: it plans, backs up,
// removes, saves and checks, and tells nobody but whoever hears of each
// removal as it is tried. The run reports the outcome in boxes; a run
// without boxes can report the same outcome otherwise. An error that stops
// it leaves in the outcome how far it came.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cleaner/TRemovalPlan.h"
#include "platform/Message.h"
#include "t_uninst/ExitCode.h"

struct TCleanupOutcome {
  enum class TEnd {
    kDone,       // every planned item went (or none was found)
    kNoBackup,   // the backup could not be written: nothing was removed
    kNotSaved,   // the removals could not be saved
    kLeftovers,  // saved, but planned items are still there
  };
  TEnd End = TEnd::kDone;
  TRemovalPlan Plan;
  bool NamedViews = false;               // the plan spans more than one registry view
  TMessage BackupError;                  // for kNoBackup
  bool BackupAsked = false;              // a backup was asked for;
  std::vector<std::string> BackupFiles;  // its files written, none when nothing was to be removed
  TMessage SaveError;                    // for kNotSaved
  std::vector<TLeftover> Leftovers;      // for kLeftovers
  // How far it came, for an error that stops it:
  std::vector<LONG> Answers;  // the registry's answers to the removals tried
  bool Saved = false;         // the removals were saved
  bool Checked = false;       // Leftovers are known
};

// `backupFile`, when not empty, names the backup to write first. Fills
// `outcome` as it goes; `tried` hears of each removal with its answer as
// soon as the answer is in.
void CleanUp(const std::string& backupFile, TCleanupOutcome& outcome,
             const std::function<void(const TRemoval&, LONG)>& tried);

// How many planned items the run knows are gone from the machine's
// registry, however far it came.
size_t KnownRemoved(const TCleanupOutcome& outcome);

// The line that says no backup was written as nothing was to be removed,
// when one was asked for; else empty.
std::string NoBackupNote(const TCleanupOutcome& outcome);

// For kNoBackup: the line, without its end, that tells the user why, and
// that nothing went.
TMessage BackupFailureText(const TCleanupOutcome& outcome);

// kUnfinished when the plan was cut short and nothing worse happened.
ExitCode ExitCodeOf(const TCleanupOutcome& outcome);

// The planned items that went: none when the backup failed or the
// removals were not saved, else all but the leftovers.
std::vector<TRemoval> RemovedItems(const TCleanupOutcome& outcome);
