// The program's options. Without any it runs as it always has: the
// confirmation, the cleaning, the completion.
#pragma once

#include <string>

struct TCommandLine {
  enum class TMode { kClean, kPreview, kRestore, kHelp, kWrong };
  TMode Mode = TMode::kClean;
  std::string File;     // the backup to write (kClean) or to put back (kRestore)
  std::string Problem;  // what is wrong, for kWrong
};

TCommandLine ReadCommandLine(int argc, const char* const* argv);

extern const char kUsage[];
