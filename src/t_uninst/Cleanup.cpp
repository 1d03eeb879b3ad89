#include "t_uninst/Cleanup.h"

#include <algorithm>

#include "backup/Backup.h"
#include "cleaner/Plan.h"
#include "platform/MachineRegistry.h"

namespace {

bool SamePlace(const TRemoval& a, const TRemoval& b) {
  return a.IsKey == b.IsKey && a.Root == b.Root && a.View == b.View && a.KeyPath == b.KeyPath &&
         a.ValueName == b.ValueName && a.WideKeyPath == b.WideKeyPath && a.WideValueName == b.WideValueName;
}

}  // namespace

void CleanUp(const std::string& backupFile, TCleanupOutcome& outcome,
             const std::function<void(const TRemoval&, LONG)>& tried) {
  using TEnd = TCleanupOutcome::TEnd;
  const std::vector<REGSAM> views = RegistryViews();
  outcome.NamedViews = views.size() > 1;
  outcome.Plan = PlanCleanup(views);
  // Only what can be read whole goes, and is backed up (RemovePlanned):
  // with nothing of that, there is no backup to write.
  std::vector<bool> backedUp(views.size(), false);
  for (const TRemoval& item : outcome.Plan.Items())
    for (size_t view = 0; view < views.size(); ++view)
      if (item.Reading == TTreeReading::kWhole && item.View == views[view]) backedUp[view] = true;
  const bool anything = std::find(backedUp.begin(), backedUp.end(), true) != backedUp.end();
  outcome.BackupAsked = !backupFile.empty();
  if (outcome.BackupAsked && anything) {
    if (!WriteBackup(outcome.Plan, views, backupFile, outcome.BackupError)) {
      outcome.End = TEnd::kNoBackup;
      return;
    }
    // The first file always, so that its name tells what the run removed.
    for (size_t view = 0; view < views.size(); ++view)
      if (view == 0 || backedUp[view]) outcome.BackupFiles.push_back(BackupFileFor(backupFile, view));
  }
  // What the backup could not hold is not removed.
  RemovePlanned(outcome.Plan, outcome.Answers, !backupFile.empty(), tried);
  if (!SaveMachineRegistry(outcome.SaveError)) {
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

std::string NoBackupNote(const TCleanupOutcome& outcome) {
  if (!outcome.BackupAsked || !outcome.BackupFiles.empty() || outcome.End == TCleanupOutcome::TEnd::kNoBackup)
    return {};
  return "No backup was written: there was nothing to remove.\n";
}

TMessage BackupFailureText(const TCleanupOutcome& outcome) {
  return "t_uninst: the backup could not be written: " + outcome.BackupError + "; nothing was removed";
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

std::vector<TRemoval> RemovedItems(const TCleanupOutcome& outcome) {
  std::vector<TRemoval> removed;
  if (outcome.End == TCleanupOutcome::TEnd::kNoBackup || outcome.End == TCleanupOutcome::TEnd::kNotSaved)
    return removed;
  // The leftovers come in the plan's order.
  size_t left = 0;
  for (const TRemoval& item : outcome.Plan.Items()) {
    if (left < outcome.Leftovers.size() && SamePlace(item, outcome.Leftovers[left].Item))
      ++left;
    else
      removed.push_back(item);
  }
  return removed;
}
