#include "t_uninst/Preview.h"

#include <algorithm>

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
  if (plan.Items().empty()) {
    WriteOutput("Nothing of ZobrikLine was found; a run changes nothing.\n");
    return ExitCode::kDone;
  }
  const auto unreachable =
      std::count_if(plan.Items().begin(), plan.Items().end(), [](const TRemoval& item) { return item.Unreachable; });
  std::string totals = "A run would remove " + ItemTotals(plan.Items()) + ".";
  if (unreachable > 0)
    totals += " It cannot remove " + std::to_string(unreachable) + (unreachable == 1 ? " item" : " items") +
              " listed, whose names code page 932 cannot write: remove " + (unreachable == 1 ? "it" : "them") +
              " by hand.";
  WriteOutput(totals + " Nothing has been changed.\n");
  return ExitCode::kDone;
}
