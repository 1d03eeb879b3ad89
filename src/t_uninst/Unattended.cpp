#include "t_uninst/Unattended.h"

#include "platform/Output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Unfinished.h"

void ReportInLines(const TCleanupOutcome& outcome, const std::string& backupFile) {
  using TEnd = TCleanupOutcome::TEnd;
  switch (outcome.End) {
    case TEnd::kNoBackup:
      WriteError(BackupFailureText(outcome) + "\n");
      return;
    case TEnd::kNotSaved:
      WriteError("t_uninst: " + outcome.SaveError + "\n");
      WriteError("t_uninst: the removals could not be saved to the registry; run t_uninst again before reinstalling\n");
      return;
    case TEnd::kDone:
    case TEnd::kLeftovers:
      break;
  }
  if (outcome.Plan.Items().empty() && !outcome.Plan.CutShort()) {
    WriteOutput("Nothing of ZobrikLine was found; nothing has been changed.\n" + NoBackupNote(outcome));
    return;
  }
  const std::vector<TRemoval> removed = RemovedItems(outcome);
  for (const TRemoval& item : removed) WriteOutput("removed\t" + ItemLine(item, outcome.NamedViews));
  WriteOutput("Removed " + ItemTotals(removed) + ".\n" + NoBackupNote(outcome));
  if (!outcome.Leftovers.empty()) WriteError(LeftoversText(outcome.Leftovers, outcome.NamedViews));
  if (outcome.Plan.CutShort()) WriteError(UnfinishedLine(kSearchCutShort, removed.size(), backupFile) + "\n");
}
