// The file that stands for the machine's registry: found through
// T_UNINST_REGISTRY, locked against a second run, read, and written back
// atomically by RegFlushKey.
#pragma once

#include <string>

#include "platform/MachineRegistry.h"
#include "platform/Message.h"

namespace standin {

constexpr char kRegistryVariable[] = "T_UNINST_REGISTRY";

// Loads the file into the machine registry and makes RegFlushKey write it.
// Read-only, it takes no lock and needs no right to write, and RegFlushKey
// refuses to save changes. Unless ready, `why` says why, naming the file
// (and the line).
TAttached AttachMachineFile(const std::string& path, TMessage& why, bool readOnly = false);

// Why the last RegFlushKey could not write the file, naming it; empty when
// it could, or when the failure was not the file's.
const TMessage& SaveFailure();

}  // namespace standin
