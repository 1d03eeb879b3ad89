// Putting a backup back into the machine's registry.
#pragma once

#include <functional>
#include <string>

// How a restore ended: what it said it did, or why it could not.
enum class TRestoreEnd {
  kRestored,  // put back, or everything was there already
  kRefused,   // the file cannot be read or is no backup: nothing changed
  kNotSaved,  // put back, but the registry could not be saved
};

// Hears one line for the log, given without its end.
using TLineReport = std::function<void(const std::string& line)>;

// Puts back what a backup file holds, merged into the machine's registry,
// and saves it. Says what it did, or why it could not. `report`, when
// given, hears a line for each key and value once put back ("restored"),
// found there already, or refused ("not restored", with the reason),
// tab-separated: what it is, the key, a value's name ("@" for the default).
TRestoreEnd RestoreBackup(const std::string& file, const TLineReport& report = {});
