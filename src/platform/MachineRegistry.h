// The machine's registry the program works on: the real one on Windows, in
// its views, or the stand-in's machine file.
#pragma once

#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/Win32.h"

// How the program uses the machine's registry: to change it, or only to
// read it (the preview), which takes no lock, needs no right to write, and
// neither waits for nor holds up a run.
enum class TRegistryUse { kChange, kReadOnly };

// How making the registry ready ended.
enum class TAttached {
  kReady,
  kRefused,  // the registry cannot be used (its file is missing, read-only, in use, or does not parse)
  kCutShort  // an error that is no fault of the registry (out of memory) stopped its reading
};

// Makes the machine's registry ready before anything is asked; unless
// ready, `why` says why, naming the file (and the line).
TAttached AttachMachineRegistry(TRegistryUse use, TMessage& why);

// Saves what the run changed (RegFlushKey of both roots, which are one file
// on the stand-in). On failure gives false, and why.
bool SaveMachineRegistry(TMessage& why);

// Whether a removal is in the machine's registry as soon as the registry
// function has done it (Windows), rather than once the registry is saved
// (the stand-in, whose file RegFlushKey writes: a run that stops before it
// leaves the file as it was).
bool RemovalsTakeEffectAtOnce();

// Where the user finds a key that the registry names `root`\`path`, when
// that is not the name itself: on the stand-in, the key as the machine file
// spells it (HKEY_CLASSES_ROOT's keys lie below
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes); empty when there is nothing to add.
TMessage KeyAsTheUserFindsIt(HKEY root, REGSAM view, const std::string& path);

// The part of --help that depends on the platform: where the registry is
// and how the boxes are answered.
std::string PlatformUsage();

// The registry views the cleaner works through, in order: on 64-bit Windows
// the 64-bit and then the 32-bit view, elsewhere the one view there is (0).
std::vector<REGSAM> RegistryViews();
