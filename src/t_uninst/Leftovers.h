// The planned items a run could not remove, told to the user.
#pragma once

#include <string>
#include <vector>

#include "cleaner/TRemovalPlan.h"
#include "platform/Message.h"

// One line, without its end: where the item lies (as the preview names it),
// then why it stayed, in the registry's words.
TMessage LeftoverLine(const TLeftover& left, bool namedViews);

// "t_uninst: N items to remove are still there:", then a line for each.
TMessage LeftoversText(const std::vector<TLeftover>& left, bool namedViews);

// The lines on the error output (the console on Windows), then the box
// that says how many items stayed and what the person can do: run again
// as an administrator when the run is not one, else remove them by hand
// after reading why each stayed; where the log with their list is,
// `logFile`, when the run keeps one, and the backup of what went,
// `backupFile`, when one was written.
void ReportLeftovers(const std::vector<TLeftover>& left, bool namedViews, const std::string& logFile,
                     const std::string& backupFile);
