// The program's exit codes: what every path of a run ends with, and the
// only place their numbers are written. A deployment tool reads them.
#pragma once

#include <span>

enum class ExitCode : int {
  kDone = 0,             // done, nothing of the product found, or Cancel
  kTracesFound = 1,      // --check found the product's traces
  kUsage = 2,            // a wrong command line, or a file that cannot be used
  kNotSaved = 3,         // the removals could not be saved
  kNoBackup = 4,         // the backup could not be written: nothing was removed
  kItemsLeft = 5,        // saved, but planned items are still there
  kNobodyToAnswer = 6,   // the confirmation cannot be shown or answered: nothing was changed
  kUnfinished = 7,       // an error stopped the run, or cut its search short
  kNotWrittenWhole = 8,  // done as said, but the log or standard output could not be written whole
  // Windows Installer is installing, or another run of the program is
  // changing the registry: nothing was asked or changed. Windows Installer's
  // own "another installation is in progress", which deployment tools retry
  // on; a POSIX shell sees its low byte, 82.
  kBusy = 1618
};

struct TExitCodeMeaning {
  ExitCode Code;
  const char* Meaning;
};

// Every code with what it means, in order, for --help.
std::span<const TExitCodeMeaning> ExitCodeMeanings();
