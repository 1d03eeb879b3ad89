#include "t_uninst/RunEvent.h"

#include "platform/EventLog.h"
#include "platform/Output.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Log.h"
#include "t_uninst/Unfinished.h"

namespace {

// The IDs of the entries of a run that did what it was asked; the message
// table (Events.mc) has the same numbers.
constexpr unsigned long kRemovedEvent = 100;
constexpr unsigned long kRestoredEvent = 101;

// A message as one line: without the program's name before it, and
// without what follows its first line's end.
TMessage OneLine(const TMessage& message) {
  TMessage line;
  for (const TMessage::TPart& part : message.Parts()) {
    if (part.Kind != TMessage::TKind::kText) {
      line += part.Kind == TMessage::TKind::kName ? TMessage::Name(part.Units)
              : part.Kind == TMessage::TKind::kPath ? TMessage::Path(part.Bytes)
                                                    : TMessage::AnsiName(part.Bytes);
      continue;
    }
    std::string text = part.Bytes;
    if (line.empty() && text.rfind("t_uninst: ", 0) == 0) text.erase(0, 10);
    const size_t end = text.find('\n');
    line += text.substr(0, end);
    if (end != std::string::npos) break;
  }
  return line;
}

std::string Count(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

TMessage CleanupSummary(const TCleanupOutcome& outcome, const std::string& backupFile) {
  using TEnd = TCleanupOutcome::TEnd;
  if (outcome.End == TEnd::kNoBackup) return OneLine(BackupFailureText(outcome));
  if (outcome.End == TEnd::kNotSaved) return "the removals could not be saved to the registry";
  if (outcome.Plan.Items().empty() && !outcome.Plan.CutShort())
    return "Nothing of ZobrikLine was found; nothing has been changed.";
  TMessage summary = "Removed " + ItemTotals(RemovedItems(outcome)) + ".";
  if (!outcome.Leftovers.empty()) summary += " " + OneLine(LeftoversText(outcome.Leftovers, outcome.NamedViews));
  if (outcome.Plan.CutShort())
    summary += " " + OneLine(UnfinishedLine(kSearchCutShort, KnownRemoved(outcome), backupFile));
  return summary;
}

}  // namespace

TRunRecord& RunRecord() {
  static TRunRecord record;
  return record;
}

void RecordCleanup(const TCleanupOutcome& outcome, const std::string& backupFile) {
  TRunRecord& record = RunRecord();
  if (KnownRemoved(outcome) > 0) record.Change = TRunRecord::TChange::kRemoved;
  // The backup written, or the one that could not be.
  record.Backup = !outcome.BackupFiles.empty()                      ? outcome.BackupFiles.front()
                  : outcome.End == TCleanupOutcome::TEnd::kNoBackup ? backupFile
                                                                    : "";
  record.Summary = CleanupSummary(outcome, backupFile);
}

void RecordRestore(const std::string& file, size_t keys, size_t values) {
  TRunRecord& record = RunRecord();
  record.Backup = file;
  if (keys + values == 0) return;
  record.Change = TRunRecord::TChange::kRestored;
  record.Summary = "Restored " + Count(keys, "key") + " and " + Count(values, "value") + " from " + QuotedPath(file) + ".";
}

TMessage SummaryLine(ExitCode code) {
  if (!RunRecord().Summary.empty()) return OneLine(RunRecord().Summary);
  for (const TExitCodeMeaning& exit : ExitCodeMeanings())
    if (exit.Code == code) return exit.Meaning;
  return "exit code " + std::to_string(static_cast<int>(code));
}

void ReportRunEvent(ExitCode code) {
  try {
    const TRunRecord& record = RunRecord();
    const bool failed = code != ExitCode::kDone && code != ExitCode::kTracesFound;
    if (!failed && record.Change == TRunRecord::TChange::kNone) return;
    unsigned long id = static_cast<unsigned long>(code);
    TEventType type = code == ExitCode::kInstallerBusy ? TEventType::kWarning : TEventType::kError;
    if (!failed) {
      id = record.Change == TRunRecord::TChange::kRestored ? kRestoredEvent : kRemovedEvent;
      type = TEventType::kInformation;
    }
    const TMessage log = LogFile().empty() ? TMessage() : GivenPath(LogFile());
    const TMessage backup = record.Backup.empty() ? TMessage() : GivenPath(record.Backup);
    TMessage error;
    if (WriteEvent(type, id, {SummaryLine(code), log, backup}, error) == TEventWritten::kRefused)
      Log("t_uninst: the event log did not take the run's entry: " + error);
  } catch (...) {
    // The entry is lost; the run's end, its exit code and its log stand.
  }
}
