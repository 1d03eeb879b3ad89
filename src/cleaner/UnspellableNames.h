// What the passes cannot see. The ANSI registry functions spell a name that
// code page 932 cannot hold with "?", so the passes neither open such a key
// nor read such a value, and would let the user believe the product's
// traces gone. The program looks again where the passes look, through the
// wide functions as the backup reads, with the same tests, and plans what
// it finds as items the run cannot remove (TRemoval::Unreachable): the
// preview lists them and a run reports them as left.
#pragma once

#include "cleaner/TRemovalPlan.h"

// In `view`, after both passes have planned into `plan`.
void PlanUnspellableNames(REGSAM view, TRemovalPlan& plan);
