#include <cstddef>

#include "Version.h"
#include "backup/Backup.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/output.h"
#include "t_uninst/CommandLine.h"
#include "t_uninst/ExitCode.h"
#include "t_uninst/Preview.h"
#include "t_uninst/Run.h"
#include "t_uninst/Unfinished.h"

namespace {

// Everything about the backup's files that can be told before the
// confirmation: a FILE that cannot be written is refused before anything
// is asked.
bool CanWriteBackup(const std::string& file) {
  for (size_t view = 0; view < RegistryViews().size(); ++view) {
    if (std::string error; !CanWriteNewFile(BackupFileFor(file, view), error)) {
      WriteError("t_uninst: the backup cannot be written: " + error + "; nothing was asked or changed\n");
      return false;
    }
  }
  return true;
}

ExitCode ExitCodeOf(TRestoreEnd end) {
  switch (end) {
    case TRestoreEnd::kRefused:
      return ExitCode::kUsage;
    case TRestoreEnd::kNotSaved:
      return ExitCode::kNotSaved;
    case TRestoreEnd::kRestored:
      break;
  }
  return ExitCode::kDone;
}

ExitCode Run(const TCommandLine& line) {
  using TMode = TCommandLine::TMode;
  switch (line.Mode) {
    case TMode::kHelp:
      WriteOutput(Usage());
      return ExitCode::kDone;
    case TMode::kVersion:
      WriteOutput("t_uninst " T_UNINST_VERSION "\n");
      return ExitCode::kDone;
    case TMode::kWrong:
      WriteError("t_uninst: " + line.Problem + "\n" + kUsageLine + "'t_uninst --help' tells more.\n");
      return ExitCode::kUsage;
    default:
      break;
  }
  if (line.Mode == TMode::kClean && !line.File.empty() && !CanWriteBackup(line.File)) return ExitCode::kUsage;
  const bool preview = line.Mode == TMode::kPreview;
  if (!AttachMachineRegistry(preview ? TRegistryUse::kReadOnly : TRegistryUse::kChange)) return ExitCode::kUsage;
  if (preview) return RunPreview();
  if (line.Mode == TMode::kRestore) return ExitCodeOf(RestoreBackup(line.File));
  return RunCleanup(line.File, line.Quiet);
}

// An error that stopped a run before or after the cleaning, which says
// what it did itself (RunCleanup): loading the registry, a preview, a
// restore.
std::string StoppedLine(TCommandLine::TMode mode, const std::string& reason) {
  using TMode = TCommandLine::TMode;
  if (mode == TMode::kRestore)
    return "t_uninst: the restore did not finish: " + reason + "; run it again to put back the rest\n";
  if (mode == TMode::kPreview) return "t_uninst: the preview did not finish: " + reason + "; nothing was changed\n";
  return UnfinishedLine(reason, 0, {});
}

}  // namespace

int main(int argc, char** argv) {
  LimitDllSearch();
  TCommandLine::TMode mode = TCommandLine::TMode::kClean;
  try {
    const TCommandLine line = ReadCommandLine(argc, argv);
    mode = line.Mode;
    return static_cast<int>(Run(line));
  } catch (...) {
    try {
      WriteError(StoppedLine(mode, CurrentErrorText()));
    } catch (...) {
      // Not even that could be said: the exit code still tells.
    }
  }
  return static_cast<int>(ExitCode::kUnfinished);
}
