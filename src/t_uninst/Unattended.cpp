#include "t_uninst/Unattended.h"

#include "platform/output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Unfinished.h"

namespace {

bool SamePlace(const TRemoval& a, const TRemoval& b) {
  return a.IsKey == b.IsKey && a.Root == b.Root && a.View == b.View && a.KeyPath == b.KeyPath &&
         a.ValueName == b.ValueName;
}

// The planned items that went: all but the leftovers, which come in the
// plan's order.
std::vector<TRemoval> Removed(const TCleanupOutcome& outcome) {
  std::vector<TRemoval> removed;
  size_t left = 0;
  for (const TRemoval& item : outcome.Plan.Items()) {
    if (left < outcome.Leftovers.size() && SamePlace(item, outcome.Leftovers[left].Item))
      ++left;
    else
      removed.push_back(item);
  }
  return removed;
}

}  // namespace

void ReportInLines(const TCleanupOutcome& outcome, const std::string& backupFile) {
  using TEnd = TCleanupOutcome::TEnd;
  switch (outcome.End) {
    case TEnd::kNoBackup:
      WriteError(BackupFailureText(outcome));
      return;
    case TEnd::kNotSaved:
      WriteError("t_uninst: the removals could not be saved to the registry; run t_uninst again before reinstalling\n");
      return;
    case TEnd::kDone:
    case TEnd::kLeftovers:
      break;
  }
  if (outcome.Plan.Items().empty() && !outcome.Plan.CutShort()) {
    WriteOutput("Nothing of ZobrikLine was found; nothing has been changed.\n");
    return;
  }
  const std::vector<TRemoval> removed = Removed(outcome);
  for (const TRemoval& item : removed) WriteOutput("removed\t" + ItemLine(item, outcome.NamedViews));
  WriteOutput("Removed " + ItemTotals(removed) + ".\n");
  if (!outcome.Leftovers.empty()) WriteError(LeftoversText(outcome.Leftovers, outcome.NamedViews));
  if (outcome.Plan.CutShort()) WriteError(UnfinishedLine(kSearchCutShort, removed.size(), backupFile));
}
