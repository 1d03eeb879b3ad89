#include <cstddef>
#include <string>
#include <vector>

#include "backup/BackupName.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "platform/RunPlace.h"
#include "platform/Startup.h"
#include "t_uninst/CommandLine.h"
#include "t_uninst/ExitCode.h"
#include "t_uninst/Log.h"
#include "t_uninst/Preview.h"
#include "t_uninst/Restore.h"
#include "t_uninst/Run.h"
#include "t_uninst/RunEvent.h"
#include "t_uninst/Unfinished.h"
#include "t_uninst/Version.h"

namespace {

// An error that stopped a run before or after the cleaning, which says
// what it did itself (RunCleanup): loading the registry, a preview or a
// check, a restore. Without its end.
TMessage StoppedLine(TCommandLine::TMode mode, const TMessage& reason) {
  using TMode = TCommandLine::TMode;
  if (mode == TMode::kRestore)
    return "t_uninst: the restore did not finish: " + reason + "; run it again to put back the rest";
  if (mode == TMode::kPreview || mode == TMode::kCheck)
    return "t_uninst: the search did not finish: " + reason + "; nothing was changed";
  return UnfinishedLine(reason, 0, {});
}

// Says why the run stops, on standard error and in the log, and gives `code`.
ExitCode Stop(const TMessage& why, ExitCode code) {
  RunRecord().Summary = why;
  WriteError(why + "\n");
  Log(why);
  return code;
}

ExitCode Run(const TCommandLine& line, const TMessage& commandLine) {
  using TMode = TCommandLine::TMode;
  switch (line.Mode) {
    case TMode::kHelp:
      WriteOutput(Usage());
      return ExitCode::kDone;
    case TMode::kVersion:
      WriteOutput(T_UNINST_NAME_VERSION_BUILD "\n");
      return ExitCode::kDone;
    case TMode::kWrong:
      RunRecord().Summary = line.Problem;
      WriteError("t_uninst: " + line.Problem + "\n" + kUsageLine + "'t_uninst --help' tells more.\n");
      return ExitCode::kUsage;
    default:
      break;
  }
  if (TMessage why; !line.Log.empty() && (!MakeFoldersFor(line.Log, why) || !OpenLog(line.Log, commandLine, why))) {
    RunRecord().Summary = "the log cannot be written: " + why + "; nothing was asked or changed";
    WriteError("t_uninst: " + RunRecord().Summary + "\n");
    return ExitCode::kUsage;
  }
  // A restore changes the Installer's registrations as a run does.
  if ((line.Mode == TMode::kClean || line.Mode == TMode::kRestore) && InstallerBusy())
    return Stop(
        "t_uninst: Windows Installer is installing something; nothing was asked or changed: run t_uninst "
        "again when it is done",
        ExitCode::kInstallerBusy);
  const std::string backup = line.Mode == TMode::kClean && !line.File.empty() ? BackupFileIn(line.File) : "";
  if (TMessage why; !backup.empty() && !CanWriteBackup(line.File, backup, why)) {
    RunRecord().Backup = backup;
    return Stop("t_uninst: the backup cannot be written: " + why + "; nothing was asked or changed", ExitCode::kUsage);
  }
  const bool readOnly = line.Mode == TMode::kPreview || line.Mode == TMode::kCheck;
  TMessage why;
  switch (AttachMachineRegistry(readOnly ? TRegistryUse::kReadOnly : TRegistryUse::kChange, why)) {
    case TAttached::kRefused:
      RunRecord().Summary = why;
      WriteError("t_uninst: " + why + "\n");
      return ExitCode::kUsage;
    case TAttached::kCutShort:
      return Stop(StoppedLine(line.Mode, why), ExitCode::kUnfinished);
    case TAttached::kReady:
      break;
  }
  if (line.Mode == TMode::kPreview) return RunPreview();
  if (line.Mode == TMode::kCheck) return RunCheck(line.Quiet);
  if (line.Mode == TMode::kRestore) return RunRestore(line.File);
  return RunCleanup(backup, line.Quiet);
}

}  // namespace

int main(int argc, char** argv) {
  LimitDllSearch();
  TCommandLine::TMode mode = TCommandLine::TMode::kClean;
  ExitCode code = ExitCode::kUnfinished;
  try {
    const std::vector<std::string> words = ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    pointers.reserve(words.size());
    for (const std::string& word : words) pointers.push_back(word.c_str());
    const TCommandLine line = ReadCommandLine(static_cast<int>(pointers.size()), pointers.data());
    mode = line.Mode;
    code = Run(line, GivenPath(CommandLineAsGiven(words)));
  } catch (...) {
    try {
      Stop(StoppedLine(mode, CurrentErrorText()), ExitCode::kUnfinished);
    } catch (...) {
      // Not even that could be said: the exit code still tells.
    }
  }
  ReportRunEvent(code);
  try {
    LogEnd(code);
  } catch (...) {
    // The log's last line is lost; the exit code still tells.
  }
  return static_cast<int>(code);
}
