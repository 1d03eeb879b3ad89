#include <cstddef>
#include <string>
#include <vector>

#include "backup/Backup.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "platform/Restore.h"
#include "platform/RunPlace.h"
#include "platform/Startup.h"
#include "t_uninst/Clock.h"
#include "t_uninst/CommandLine.h"
#include "t_uninst/ExitCode.h"
#include "t_uninst/Log.h"
#include "t_uninst/Preview.h"
#include "t_uninst/Run.h"
#include "t_uninst/RunEvent.h"
#include "t_uninst/Unfinished.h"
#include "t_uninst/Version.h"

namespace {

// Everything about the backup's files that can be told before the
// confirmation: a FILE that cannot be written is refused before anything
// is asked. The folder a name ending in a separator names is made.
bool CanWriteBackup(const std::string& named, const std::string& file) {
  std::string error;
  bool usable = (named.back() != '/' && named.back() != '\\') || MakeFoldersFor(named, error);
  for (size_t view = 0; usable && view < RegistryViews().size(); ++view)
    usable = CanWriteNewFile(BackupFileFor(file, view), error);
  if (!usable) {
    WriteError("t_uninst: the backup cannot be written: " + error + "; nothing was asked or changed\n");
    Log("t_uninst: the backup cannot be written: " + error);
    RunRecord().Summary = "the backup cannot be written: " + error + "; nothing was asked or changed";
    RunRecord().Backup = file;
  }
  return usable;
}

// The backup's file: FILE itself, or in a folder (one that exists, or a
// name ending in a separator) a new file named for the computer and the
// time, so that a deployment can run again and again; a number is added
// when a file has the name already.
std::string BackupFileIn(const std::string& named) {
  if (named.back() != '/' && named.back() != '\\' && !IsFolder(named)) return named;
  std::string computer = RunPlace().Computer;
  // UTF-8 on Windows: only single-byte characters a file name cannot hold are replaced.
  for (char& c : computer)
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>| ").find(c) != std::string_view::npos)
      c = '_';
  const std::string stem = PathInFolder(named, "t_uninst-" + computer + "-" + UtcStamp());
  std::string file = stem + ".reg";
  for (int again = 2; again < 100; ++again) {
    bool free = true;
    for (size_t view = 0; view < RegistryViews().size(); ++view) free = free && !NameTaken(BackupFileFor(file, view));
    if (free) break;
    file = stem + "-" + std::to_string(again) + ".reg";
  }
  return file;
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

// Puts the backup `file` back; the log hears each key and value.
ExitCode Restore(const std::string& file) {
  size_t keys = 0, values = 0;
  const TRestoreEnd end = RestoreBackup(file, [&keys, &values](const std::string& line) {
    keys += line.rfind("restored\tkey\t", 0) == 0;
    values += line.rfind("restored\tvalue\t", 0) == 0;
    Log(line);
  });
  RecordRestore(file, keys, values);
  return ExitCodeOf(end);
}

ExitCode Run(const TCommandLine& line, const std::string& commandLine) {
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
  if (std::string error;
      !line.Log.empty() && (!MakeFoldersFor(line.Log, error) || !OpenLog(line.Log, commandLine, error))) {
    RunRecord().Summary = "the log cannot be written: " + error + "; nothing was asked or changed";
    WriteError("t_uninst: " + RunRecord().Summary + "\n");
    return ExitCode::kUsage;
  }
  // A restore changes the Installer's registrations as a run does.
  if ((line.Mode == TMode::kClean || line.Mode == TMode::kRestore) && InstallerBusy()) {
    const std::string why =
        "Windows Installer is installing something; nothing was asked or changed: run t_uninst again when it is done";
    RunRecord().Summary = why;
    WriteError("t_uninst: " + why + "\n");
    Log("t_uninst: " + why);
    return ExitCode::kInstallerBusy;
  }
  const std::string backup = line.Mode == TMode::kClean && !line.File.empty() ? BackupFileIn(line.File) : "";
  if (!backup.empty() && !CanWriteBackup(line.File, backup)) return ExitCode::kUsage;
  const bool readOnly = line.Mode == TMode::kPreview || line.Mode == TMode::kCheck;
  if (!AttachMachineRegistry(readOnly ? TRegistryUse::kReadOnly : TRegistryUse::kChange)) return ExitCode::kUsage;
  if (line.Mode == TMode::kPreview) return RunPreview();
  if (line.Mode == TMode::kCheck) return RunCheck(line.Quiet);
  if (line.Mode == TMode::kRestore) return Restore(line.File);
  return RunCleanup(backup, line.Quiet);
}

// An error that stopped a run before or after the cleaning, which says
// what it did itself (RunCleanup): loading the registry, a preview or a
// check, a restore.
std::string StoppedLine(TCommandLine::TMode mode, const std::string& reason) {
  using TMode = TCommandLine::TMode;
  if (mode == TMode::kRestore)
    return "t_uninst: the restore did not finish: " + reason + "; run it again to put back the rest\n";
  if (mode == TMode::kPreview || mode == TMode::kCheck)
    return "t_uninst: the search did not finish: " + reason + "; nothing was changed\n";
  return UnfinishedLine(reason, 0, {});
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
      const std::string line = StoppedLine(mode, CurrentErrorText());
      RunRecord().Summary = line;
      WriteError(line);
      Log(line.substr(0, line.size() - 1));
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
