// Where a backup goes: the file the user named, or a new file in the folder
// the user named; and beside it, on 64-bit Windows, the 32-bit view's part.
#pragma once

#include <string>

#include "platform/Message.h"

// The files a backup at `path` takes: `path` for the first view and, with a
// second view (the 32-bit one on 64-bit Windows), a file beside it for that
// view.
std::string BackupFileFor(const std::string& path, size_t viewIndex);

// The backup's file for what the user named: that file itself, or in a
// folder (one that exists, or a name ending in a separator) a new file
// named for the computer and the time, so that a deployment can run again
// and again; a number is added when a file has the name already.
std::string BackupFileIn(const std::string& named);

// Whether the files of a backup at `file` (BackupFileIn of `named`) can be
// written, as far as can be told before anything is asked; false with the
// reason when one cannot. The folder a `named` ending in a separator names
// is made first (MakeFoldersFor).
bool CanWriteBackup(const std::string& named, const std::string& file, TMessage& why);
