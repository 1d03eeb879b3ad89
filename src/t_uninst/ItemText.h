// How a planned item is named on a line of output and of the log: as
// fields of a record (platform/Escape.h).
#pragma once

#include <string>
#include <vector>

#include "cleaner/TRemovalPlan.h"
#include "platform/Message.h"

// Its view, "key" or "value", its key's full name, and a value's name in
// double quotes ("@" for the default value). On output the view is named
// when the run has more than one, and a key has no value field; the log
// (`everyField`) has all four, "-" for the view where the registry has
// one, and an empty value field for a key.
std::vector<TMessage> ItemFields(const TRemoval& item, bool namedViews, bool everyField = false);

// The preview's line of an item, led by `word` when one is given: its
// fields, a key's contents, why it goes, and where the user finds the key
// when the platform has more to say (only while the key is there); for an
// unreachable item, its fields and why it cannot be removed. Ends with "\n".
TMessage ItemLine(const TRemoval& item, bool namedViews, const char* word = nullptr);

// "18 keys, holding 10 subkeys and 35 values, and 3 values of other keys";
// "nothing" for no items. Unreachable items are not counted: they stay.
std::string ItemTotals(const std::vector<TRemoval>& items);
