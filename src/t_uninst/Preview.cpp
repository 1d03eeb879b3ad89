#include "t_uninst/Preview.h"

#include <algorithm>

#include "cleaner/Plan.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Log.h"
#include "t_uninst/Unfinished.h"

namespace {

// The totals line: what a run would remove, and what it cannot.
std::string Totals(const TRemovalPlan& plan) {
  if (plan.Items().empty()) return "Nothing of ZobrikLine was found; a run changes nothing.\n";
  const auto unreachable =
      std::count_if(plan.Items().begin(), plan.Items().end(), [](const TRemoval& item) { return item.Unreachable; });
  std::string totals = "A run would remove " + ItemTotals(plan.Items()) + ".";
  if (unreachable > 0)
    totals += " It cannot remove " + std::to_string(unreachable) + (unreachable == 1 ? " item" : " items") +
              " listed, whose names code page 932 cannot write: remove " + (unreachable == 1 ? "it" : "them") +
              " by hand.";
  return totals + " Nothing has been changed.\n";
}

// Plans the run, and lists it unless `quiet`. Gives kUnfinished when the
// search was cut short, else kTracesFound or kDone.
ExitCode Look(bool quiet) {
  const std::vector<REGSAM> views = RegistryViews();
  const TRemovalPlan plan = PlanCleanup(views);
  for (const TRemoval& item : plan.Items()) Log("found\t" + ItemPlace(item, views.size() > 1));
  if (!quiet)
    for (const TRemoval& item : plan.Items()) WriteOutput(ItemLine(item, views.size() > 1));
  if (plan.CutShort()) {
    WriteError(std::string("t_uninst: the search did not finish: ") + kSearchCutShort +
               " than listed; nothing has been changed\n");
    return ExitCode::kUnfinished;
  }
  if (!quiet) WriteOutput(Totals(plan));
  return plan.Items().empty() ? ExitCode::kDone : ExitCode::kTracesFound;
}

}  // namespace

ExitCode RunPreview() {
  const ExitCode found = Look(false);
  return found == ExitCode::kUnfinished ? found : ExitCode::kDone;
}

ExitCode RunCheck(bool quiet) { return Look(quiet); }
