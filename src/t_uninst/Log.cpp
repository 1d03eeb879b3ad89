#include "t_uninst/Log.h"

#include "platform/Clock.h"
#include "platform/ErrorText.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "platform/RunPlace.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Version.h"

namespace {

struct TLog {
  TAppendFile File;
  std::string Name;
};

TLog& TheLog() {
  static TLog log;
  return log;
}

}  // namespace

bool OpenLog(const std::string& file, const TMessage& commandLine, TMessage& error) {
  TLog& log = TheLog();
  bool empty = false;
  if (!log.File.Open(file, empty, error)) return false;
  log.Name = file;
  const TRunPlace place = RunPlace();
  if (empty) log.File.Append("\xEF\xBB\xBF");
  Log(LocalTimeWithOffset() + "\t" T_UNINST_NAME_VERSION_BUILD "\tcomputer " + GivenPath(place.Computer) + "\tuser " +
      GivenPath(place.User) + (place.Elevated ? " (elevated)" : " (not elevated)") + "\tcommand line: " + commandLine +
      "\tregistry: " + place.Registry);
  return true;
}

void Log(const TMessage& line) {
  if (!TheLog().Name.empty()) TheLog().File.Append(Utf8Line(line));
}

void LogRemovalTried(const TRemoval& item, LONG answer, bool namedViews) {
  if (LogFile().empty()) return;
  TMessage said;
  if (answer == kUnreachable)
    said = "not tried: " + item.Why;
  else if (answer == kNotInBackup)
    said = "not tried: it cannot be read whole, so the backup cannot hold it";
  else if (answer != ERROR_SUCCESS)
    said = "refused: " + ErrorText(answer);
  else
    said = RemovalsTakeEffectAtOnce() ? "done" : "done, takes effect when the registry is saved";
  Log("deleting\t" + ItemPlace(item, namedViews) + "\t" + said);
}

void LogOutcome(const TCleanupOutcome& outcome) {
  if (LogFile().empty()) return;
  for (const std::string& file : outcome.BackupFiles) Log("backup\t" + GivenPath(file));
  if (const std::string note = NoBackupNote(outcome); !note.empty()) Log(note.substr(0, note.size() - 1));
  for (const TRemoval& item : RemovedItems(outcome)) Log("removed\t" + ItemPlace(item, outcome.NamedViews));
  for (const TLeftover& left : outcome.Leftovers) Log("left\t" + LeftoverLine(left, outcome.NamedViews));
  if (outcome.End == TCleanupOutcome::TEnd::kNoBackup) Log(BackupFailureText(outcome));
  if (outcome.End == TCleanupOutcome::TEnd::kNotSaved) Log("t_uninst: the removals could not be saved to the registry");
}

void LogEnd(ExitCode code) {
  std::string meaning;
  for (const TExitCodeMeaning& exit : ExitCodeMeanings())
    if (exit.Code == code) meaning = exit.Meaning;
  Log("end\texit code " + std::to_string(static_cast<int>(code)) + "\t" + meaning);
}

const std::string& LogFile() { return TheLog().Name; }
