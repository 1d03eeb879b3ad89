#include "t_uninst/Preview.h"

#include "platform/machine.h"
#include "platform/output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Log.h"
#include "t_uninst/Plan.h"

namespace {

// Plans the run, and lists it unless `quiet`; gives whether it found anything.
bool Found(bool quiet) {
  const std::vector<REGSAM> views = RegistryViews();
  const TRemovalPlan plan = PlanCleanup(views);
  for (const TRemoval& item : plan.Items()) Log("found\t" + ItemPlace(item, views.size() > 1));
  if (quiet) return !plan.Items().empty();
  for (const TRemoval& item : plan.Items()) WriteOutput(ItemLine(item, views.size() > 1));
  WriteOutput(plan.Items().empty()
                  ? "Nothing of ZobrikLine was found; a run changes nothing.\n"
                  : "A run would remove " + ItemTotals(plan.Items()) + ". Nothing has been changed.\n");
  return !plan.Items().empty();
}

}  // namespace

ExitCode RunPreview() {
  Found(false);
  return ExitCode::kDone;
}

ExitCode RunCheck(bool quiet) { return Found(quiet) ? ExitCode::kTracesFound : ExitCode::kDone; }
