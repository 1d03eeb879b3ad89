// The one decision of a run: what it removes in every registry view the
// cleaner works through, both passes in each, and the names they cannot
// spell (UnspellableNames.h). The preview prints it, the
// backup saves it, the run removes it. A pass cut short by an error marks
// the plan (TRemovalPlan::CutShort).
#pragma once

#include <vector>

#include "cleaner/TRemovalPlan.h"

TRemovalPlan PlanCleanup(const std::vector<REGSAM>& views);
