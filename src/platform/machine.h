// What the platform does around one run of the cleaner.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

// First thing in the program: on Windows, DLLs are loaded from System32
// only, never from the program's folder or the current one. Elsewhere
// there is nothing to limit.
void LimitDllSearch();

// The words the program was started with, its own name first, as the
// program carries paths: on Windows read again from the wide command line,
// as UTF-8, so that a name outside the ANSI code page stays whole; on the
// stand-in `argv` as given.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// How the program uses the machine's registry: to change it, or only to
// read it (the preview), which takes no lock, needs no right to write, and
// neither waits for nor holds up a run.
enum class TRegistryUse { kChange, kReadOnly };

// Makes the machine's registry ready before anything is asked. On failure
// it has told the user why (the registry cannot be used), and gives false.
bool AttachMachineRegistry(TRegistryUse use);

// Whether a removal is in the machine's registry as soon as the registry
// function has done it (Windows), rather than once the registry is saved
// (the stand-in, whose file RegFlushKey writes: a run that stops before it
// leaves the file as it was).
bool RemovalsTakeEffectAtOnce();

// Where the user finds a key that the registry names `root`\`path`, when
// that is not the name itself: on the stand-in, the key as the machine file
// spells it (HKEY_CLASSES_ROOT's keys lie below
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes); empty when there is nothing to add.
std::string KeyAsTheUserFindsIt(HKEY root, REGSAM view, const std::string& path);

// The part of --help that depends on the platform: where the registry is
// and how the boxes are answered.
std::string PlatformUsage();

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

// Whether Windows Installer is installing something now (it holds the
// mutex Global\_MSIExecute): a run then changes nothing. Never on the
// stand-in.
bool InstallerBusy();

// Where and as whom the program runs, for the log and the backup's names.
struct TRunPlace {
  std::string Computer;   // the computer's name, as paths are carried (it names backups)
  std::string User;       // the user the program runs as, as Computer
  bool Elevated = false;  // with an administrator's rights
  std::string Registry;   // the registry it works on: the views, or the machine file
};
TRunPlace RunPlace();

// The registry views the cleaner works through, in order: on 64-bit Windows
// the 64-bit and then the 32-bit view, elsewhere the one view there is (0).
std::vector<REGSAM> RegistryViews();
