#include "t_uninst/Plan.h"

#include "cleaner/Tinst0.h"

TRemovalPlan PlanCleanup(const std::vector<REGSAM>& views) {
  TRemovalPlan plan;
  for (REGSAM view : views) {
    Tinst0 cleaner(view);
    // A pass that stops early has planned what it could; the run goes on.
    cleaner.PlanInstallerEntries(plan);
    cleaner.PlanSharedDlls(plan);
  }
  return plan;
}
