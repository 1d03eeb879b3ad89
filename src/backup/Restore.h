// Putting a backup back into the machine's registry, through the registry's
// wide functions, which both builds have: each file of the backup into the
// view it came from, every name, type and byte as saved. A restore never
// deletes: what the machine holds stays. It tells nobody: it gives back
// what it did, and the program says it.
#pragma once

#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/Win32.h"

// A key a restore made, or a value it set, found there already, or could
// not put back.
struct TRestoredItem {
  enum class TFate { kRestored, kThereAlready, kNotRestored };
  TFate Fate = TFate::kRestored;
  bool IsKey = false;
  HKEY Root = nullptr;         // HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT
  std::u16string Path;         // the key, or the value's key, below the root
  std::u16string Value;        // a value's name; empty for the default value
  LONG Error = ERROR_SUCCESS;  // the registry's answer, for kNotRestored
};

// What one file of a backup gave.
struct TRestoredFile {
  std::string Name;
  size_t Keys = 0;     // keys made
  size_t Values = 0;   // values set
  size_t Present = 0;  // values there already, as saved
};

struct TRestore {
  enum class TEnd {
    kRestored,  // every key and value is in the registry, as saved
    kRefused,   // a file cannot be read, or is no backup: nothing changed
    kNotSaved,  // some could not be put back, or the registry could not be saved
  };
  TEnd End = TEnd::kRestored;
  // Why it was refused, or why the registry could not be saved.
  TMessage Why;
  // Whether what was put back is saved; not when the save failed.
  bool Saved = false;
  std::vector<TRestoredFile> Files;
  std::vector<TRestoredItem> Items;  // in the files' order
};

// Reads the backup in `file`, and its 32-bit part when it names one, whole
// before anything is changed; then merges them into the registry and saves
// it.
TRestore RestoreBackup(const std::string& file);
