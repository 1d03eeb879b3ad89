#include "t_uninst/Preview.h"

#include "platform/machine.h"
#include "platform/output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Plan.h"
#include "t_uninst/Unfinished.h"

ExitCode RunPreview() {
  const std::vector<REGSAM> views = RegistryViews();
  const TRemovalPlan plan = PlanCleanup(views);
  for (const TRemoval& item : plan.Items()) WriteOutput(ItemLine(item, views.size() > 1));
  if (plan.CutShort()) {
    WriteError(std::string("t_uninst: the preview did not finish: ") + kSearchCutShort + " than listed" +
               "; nothing has been changed\n");
    return ExitCode::kUnfinished;
  }
  WriteOutput(plan.Items().empty()
                  ? "Nothing of ZobrikLine was found; a run changes nothing.\n"
                  : "A run would remove " + ItemTotals(plan.Items()) + ". Nothing has been changed.\n");
  return ExitCode::kDone;
}
