// The backup of what a run removes: .reg files that put it back exactly.
#pragma once

#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "cleaner/TRemovalPlan.h"
#include "platform/Message.h"

// Writes what the plan removes, read from the registry before anything is
// removed: whole subtrees and single values, every name and every byte of
// data as stored. A planned key that cannot be read whole is left out, and
// left in the registry (RemovePlanned's `wholeOnly`). One file per view in
// `views` that has anything to remove (BackupFileFor), each written whole
// and read back; a file that exists already is never replaced, so that no
// earlier backup is lost. Each file begins with a line for the restore
// (BackupLine.h). On failure gives false with the reason.
bool WriteBackup(const TRemovalPlan& plan, const std::vector<REGSAM>& views, const std::string& path, TMessage& error);
