// The program's options. Without any it runs as it always has: the
// confirmation, the cleaning, the completion.
#pragma once

#include <string>

#include "platform/Message.h"

struct TCommandLine {
  enum class TMode { kClean, kPreview, kCheck, kRestore, kHelp, kVersion, kWrong };
  TMode Mode = TMode::kClean;
  std::string File;    // the backup to write (kClean) or to put back (kRestore)
  TMessage Problem;    // what is wrong, for kWrong
  bool Quiet = false;  // unattended: no box, no question (--quiet or /quiet)
  std::string Log;     // the log to append to (--log FILE or /log FILE), with any mode
};

// `--help` wins over anything else on the line, then `--version`; an
// option's FILE follows it as the next word or after "=".
TCommandLine ReadCommandLine(int argc, const char* const* argv);

// The first line of the usage, and the text of --help, which begins with
// it: the options, the registry, the answers, the exit codes.
extern const char kUsageLine[];
std::string Usage();
