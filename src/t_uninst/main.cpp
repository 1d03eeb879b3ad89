#include <filesystem>

#include "../platform/machine.h"
#include "../platform/output.h"
#include "CommandLine.h"
#include "Preview.h"
#include "Run.h"

namespace {
constexpr int kUsageExitCode = 2;
}

int main(int argc, char** argv) {
  const TCommandLine line = ReadCommandLine(argc, argv);
  using TMode = TCommandLine::TMode;
  if (line.Mode == TMode::kHelp) {
    WriteOutput(kUsage);
    return 0;
  }
  if (line.Mode == TMode::kWrong) {
    WriteError("t_uninst: " + line.Problem + "\n" + kUsage);
    return kUsageExitCode;
  }
  if (line.Mode == TMode::kClean && !line.File.empty() && std::filesystem::exists(line.File)) {
    WriteError("t_uninst: the backup '" + line.File + "' exists already: name a new file, so that no backup is lost\n");
    return kUsageExitCode;
  }
  int exitCode = 0;
  if (!AttachMachineRegistry(exitCode)) return exitCode;
  if (line.Mode == TMode::kPreview) return RunPreview();
  if (line.Mode == TMode::kRestore) return RestoreBackup(line.File);
  return RunCleanup(line.File);
}
