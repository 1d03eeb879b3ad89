// A run that did not finish: an error stopped it (out of memory, or any
// other error outside the passes), or cut its search short. It says so,
// with what it knows it removed, and ends with ExitCode::kUnfinished.
#pragma once

#include <string>

#include "platform/Message.h"

// The error being handled, in words ("out of memory"); call it only
// inside a catch block.
std::string CurrentErrorText();

// "t_uninst: the run did not finish: REASON; ..." with what was removed
// (none, or how many items) and, when some went, that the backup named
// `backupFile` holds them; without its end.
TMessage UnfinishedLine(const TMessage& reason, size_t removed, const std::string& backupFile);

// The same in the box, in the program's language.
void ShowUnfinishedBox(size_t removed, bool inBackup);

// The reason given when a pass was cut short.
inline constexpr char kSearchCutShort[] =
    "an error cut short the search for ZobrikLine's items, so more of them may be left";
