// How a planned item is named on a line of output: fields separated by tabs.
#pragma once

#include <string>

#include "../cleaner/TRemovalPlan.h"

// Its view (when the run has more than one), "key" or "value", its root
// and path, and for a value its name ("@" for the default value).
std::string ItemPlace(const TRemoval& item, bool namedViews);
