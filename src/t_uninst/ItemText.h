// How a planned item is named on a line of output: fields separated by tabs.
#pragma once

#include <string>
#include <vector>

#include "cleaner/TRemovalPlan.h"
#include "platform/Message.h"

// Its view (when the run has more than one), "key" or "value", its root
// and path, and for a value its name ("@" for the default value).
TMessage ItemPlace(const TRemoval& item, bool namedViews);

// The preview's line of an item: its place, a key's contents, why it goes,
// and where the user finds the key when the platform has more to say (only
// while the key is there); for an unreachable item, its place and why it
// cannot be removed. Ends with "\n".
TMessage ItemLine(const TRemoval& item, bool namedViews);

// "18 keys, holding 10 subkeys and 35 values, and 3 values of other keys";
// "nothing" for no items. Unreachable items are not counted: they stay.
std::string ItemTotals(const std::vector<TRemoval>& items);
