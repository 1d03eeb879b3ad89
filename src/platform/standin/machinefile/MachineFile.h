// The file that stands for the machine's registry: found through
// T_UNINST_REGISTRY, locked against a second run, read, and written back
// atomically by RegFlushKey.
#pragma once

#include <string>

namespace standin {

constexpr char kRegistryVariable[] = "T_UNINST_REGISTRY";

// Loads the file into the machine registry and makes RegFlushKey write it.
// Read-only, it takes no lock and needs no right to write, and RegFlushKey
// refuses to save changes. On failure gives false with a message naming
// the file (and the line).
bool AttachMachineFile(const std::string& path, std::string& error, bool readOnly = false);

}  // namespace standin
