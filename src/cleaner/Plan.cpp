#include "cleaner/Plan.h"

#include "cleaner/Tinst0.h"
#include "cleaner/UnspellableNames.h"

TRemovalPlan PlanCleanup(const std::vector<REGSAM>& views) {
  TRemovalPlan plan;
  for (REGSAM view : views) {
    Tinst0 cleaner(view);
    // A pass that stops early has planned what it could; the run goes on,
    // and ends saying that it did not finish.
    if (!cleaner.CleanInstallerEntries(plan)) plan.MarkCutShort();
    if (!cleaner.CleanSharedDlls(plan)) plan.MarkCutShort();
    try {
      PlanUnspellableNames(view, plan);
    } catch (...) {
      plan.MarkCutShort();
    }
  }
  return plan;
}
