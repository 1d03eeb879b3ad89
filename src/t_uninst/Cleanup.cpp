#include "t_uninst/Cleanup.h"

#include <algorithm>

#include "backup/Backup.h"
#include "platform/machine.h"
#include "t_uninst/Plan.h"

namespace {

bool SaveRegistry() {
  // On the stand-in both roots are one file: after a failed save the
  // second flush would try, and report, the same save again.
  return RegFlushKey(HKEY_LOCAL_MACHINE) == ERROR_SUCCESS && RegFlushKey(HKEY_CLASSES_ROOT) == ERROR_SUCCESS;
}

}  // namespace

void CleanUp(const std::string& backupFile, TCleanupOutcome& outcome) {
  using TEnd = TCleanupOutcome::TEnd;
  const std::vector<REGSAM> views = RegistryViews();
  outcome.NamedViews = views.size() > 1;
  outcome.Plan = PlanCleanup(views);
  if (!backupFile.empty() && !WriteBackup(outcome.Plan, views, backupFile, outcome.BackupError)) {
    outcome.End = TEnd::kNoBackup;
    return;
  }
  // What the backup could not hold is not removed.
  RemovePlanned(outcome.Plan, outcome.Answers, !backupFile.empty());
  if (!SaveRegistry()) {
    outcome.End = TEnd::kNotSaved;
    return;
  }
  outcome.Saved = true;
  outcome.Leftovers = FindLeftovers(outcome.Plan, outcome.Answers);
  outcome.Checked = true;
  if (!outcome.Leftovers.empty()) outcome.End = TEnd::kLeftovers;
}

size_t KnownRemoved(const TCleanupOutcome& outcome) {
  if (!outcome.Saved && !RemovalsTakeEffectAtOnce()) return 0;
  if (outcome.Checked) return outcome.Plan.Items().size() - outcome.Leftovers.size();
  return static_cast<size_t>(std::count(outcome.Answers.begin(), outcome.Answers.end(), ERROR_SUCCESS));
}

std::string BackupFailureText(const TCleanupOutcome& outcome) {
  return "t_uninst: the backup could not be written: " + outcome.BackupError + "; nothing was removed\n";
}

ExitCode ExitCodeOf(const TCleanupOutcome& outcome) {
  switch (outcome.End) {
    case TCleanupOutcome::TEnd::kNotSaved:
      return ExitCode::kNotSaved;
    case TCleanupOutcome::TEnd::kNoBackup:
      return ExitCode::kNoBackup;
    case TCleanupOutcome::TEnd::kLeftovers:
    case TCleanupOutcome::TEnd::kDone:
      break;
  }
  if (outcome.Plan.CutShort()) return ExitCode::kUnfinished;
  return outcome.End == TCleanupOutcome::TEnd::kLeftovers ? ExitCode::kItemsLeft : ExitCode::kDone;
}
