// The backup of what a run removes: .reg files that put it back exactly.
#pragma once

#include <string>
#include <vector>

#include "cleaner/TRemovalPlan.h"

// The files a backup at `path` takes: `path` for the first view and, with a
// second view (the 32-bit one on 64-bit Windows), a file beside it for
// that view, named by BackupFileFor.
std::string BackupFileFor(const std::string& path, size_t viewIndex);

// Writes what the plan removes, read from the registry before anything is
// removed: whole subtrees and single values, every name and every byte of
// data as stored. A planned key that cannot be read whole is left out, and
// left in the registry (RemovePlanned's `wholeOnly`). One file per view in `views` that has anything to
// remove, each written whole and read back; a file that exists already is
// never replaced, so that no earlier backup is lost. On failure gives false
// with the reason.
bool WriteBackup(const TRemovalPlan& plan, const std::vector<REGSAM>& views, const std::string& path,
                 std::string& error);
