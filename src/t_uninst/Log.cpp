#include "t_uninst/Log.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <random>

#include "platform/Clock.h"
#include "platform/ErrorText.h"
#include "platform/Escape.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "platform/RunPlace.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/RunEvent.h"
#include "t_uninst/Version.h"

namespace {

struct TLog {
  TAppendFile File;
  std::string Name;
  std::string Run;
  std::string Failure;
};

TLog& TheLog() {
  static TLog log;
  return log;
}

// 16 hex digits, from a random source and the time: two runs started at
// once, or on machines cloned from one image, get different ones.
std::string RunIdentifier() {
  std::uint64_t id = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device random;
    id ^= static_cast<std::uint64_t>(random()) << 32 | random();
  } catch (...) {
    // Without a random source, the time alone tells runs apart.
  }
  char text[24];
  std::snprintf(text, sizeof text, "%016" PRIX64, id);
  return text;
}

std::string LogLine(const char* event, const std::vector<TMessage>& fields) {
  std::vector<TMessage> all = {LocalTimeWithOffset(), TheLog().Run, event};
  all.insert(all.end(), fields.begin(), fields.end());
  return Utf8Line(Record(all));
}

}  // namespace

bool OpenLog(const std::string& file, const TMessage& commandLine, TMessage& error) {
  TLog& log = TheLog();
  bool empty = false;
  if (!log.File.Open(file, empty, error)) return false;
  log.Run = RunIdentifier();
  const TRunPlace place = RunPlace();
  const std::string start =
      LogLine("start", {T_UNINST_NAME_VERSION_BUILD, GivenPath(place.Computer), GivenPath(place.User),
                        place.Elevated ? "elevated" : "not elevated", commandLine, place.Registry});
  std::string reason;
  if (!log.File.Append(empty ? "\xEF\xBB\xBF" + start : start, reason)) {
    error = QuotedPath(file) + " cannot be written: " + reason;
    return false;
  }
  log.Name = file;
  return true;
}

void LogEvent(const char* event, const std::vector<TMessage>& fields) {
  TLog& log = TheLog();
  if (log.Name.empty() || !log.Failure.empty()) return;
  if (std::string reason; !log.File.Append(LogLine(event, fields), reason)) {
    log.Failure = reason.empty() ? "an unknown error" : reason;
    WriteError("t_uninst: the log " + QuotedPath(log.Name) + " could not be written whole: " + log.Failure + "\n");
  }
}

void LogError(const TMessage& message) { LogEvent("error", {OneLine(message)}); }

void LogRemovalTried(const TRemoval& item, LONG answer, bool namedViews) {
  if (LogFile().empty()) return;
  TMessage said, why;
  if (answer == kUnreachable) {
    said = "not tried";
    why = item.Why;
  } else if (answer == kNotInBackup) {
    said = "not tried";
    why = "it cannot be read whole, so the backup cannot hold it";
  } else if (answer != ERROR_SUCCESS) {
    said = "refused";
    why = ErrorText(answer);
  } else {
    said = RemovalsTakeEffectAtOnce() ? "done" : "done when saved";
  }
  std::vector<TMessage> fields = ItemFields(item, namedViews, true);
  fields.push_back(said);
  fields.push_back(why);
  LogEvent("deleting", fields);
}

void LogBackup(const TCleanupOutcome& outcome) {
  for (const std::string& file : outcome.BackupFiles) LogEvent("backup", {GivenPath(file)});
}

void LogOutcome(const TCleanupOutcome& outcome) {
  if (LogFile().empty()) return;
  if (!NoBackupNote(outcome).empty()) LogEvent("no backup", {"there was nothing to remove"});
  for (const TRemoval& item : RemovedItems(outcome)) LogEvent("removed", ItemFields(item, outcome.NamedViews, true));
  for (const TLeftover& left : outcome.Leftovers) LogEvent("left", LeftoverFields(left, outcome.NamedViews, true));
  if (outcome.End == TCleanupOutcome::TEnd::kNoBackup) LogError(BackupFailureText(outcome));
  if (outcome.End == TCleanupOutcome::TEnd::kNotSaved)
    LogError("the removals could not be saved to the registry: " + outcome.SaveError);
}

void LogEnd(ExitCode code) { LogEvent("end", {std::to_string(static_cast<int>(code)), SummaryLine(code)}); }

const std::string& LogFile() { return TheLog().Name; }

const std::string& LogFailure() { return TheLog().Failure; }
