#include "t_uninst/Run.h"

#include "platform/dialogs.h"
#include "platform/output.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Messages.h"
#include "t_uninst/Unattended.h"
#include "t_uninst/Unfinished.h"

namespace {

void ReportInBoxes(const TCleanupOutcome& outcome, const std::string& backupFile) {
  using TEnd = TCleanupOutcome::TEnd;
  switch (outcome.End) {
    case TEnd::kNoBackup:
      WriteError(BackupFailureText(outcome));
      ShowMessageBox((std::string(kNoBackup) + "\r" + outcome.BackupError).c_str(), kCaption, MB_OK);
      return;
    case TEnd::kNotSaved:
      ShowMessageBox(kNotSaved, kCaption, MB_OK);
      return;
    case TEnd::kLeftovers:
    case TEnd::kDone:
      break;
  }
  if (outcome.Plan.CutShort()) {
    // Cut short, the run cannot say the product's traces are gone.
    if (!outcome.Leftovers.empty()) WriteError(LeftoversText(outcome.Leftovers, outcome.NamedViews));
    WriteError(UnfinishedLine(kSearchCutShort, KnownRemoved(outcome), backupFile));
    ShowUnfinishedBox(KnownRemoved(outcome), !backupFile.empty());
  } else if (outcome.End == TEnd::kLeftovers) {
    ReportLeftovers(outcome.Leftovers, outcome.NamedViews);
  } else {
    ShowMessageBox(kCompletion, kCaption, MB_OK);
  }
}

}  // namespace

ExitCode RunCleanup(const std::string& backupFile, bool quiet) {
  TCleanupOutcome outcome;
  try {
    if (!quiet && ShowMessageBox(kConfirmation, kCaption, MB_OKCANCEL) != IDOK) return ExitCode::kDone;
    CleanUp(backupFile, outcome);
    if (quiet)
      ReportInLines(outcome, backupFile);
    else
      ReportInBoxes(outcome, backupFile);
    return ExitCodeOf(outcome);
  } catch (...) {
    // An error outside the passes, out of memory included: the run says
    // how far it came.
    try {
      const size_t removed = KnownRemoved(outcome);
      WriteError(UnfinishedLine(CurrentErrorText(), removed, backupFile));
      if (!quiet) ShowUnfinishedBox(removed, !backupFile.empty());
    } catch (...) {
      // Not even that could be said: the exit code still tells.
    }
  }
  return ExitCode::kUnfinished;
}
