#include "t_uninst/Run.h"

#include "platform/Dialogs.h"
#include "platform/Output.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Log.h"
#include "t_uninst/Messages.h"
#include "t_uninst/RunEvent.h"
#include "t_uninst/Unattended.h"
#include "t_uninst/Unfinished.h"

namespace {

// A box nobody can answer is no Cancel: a deployment tool that started the
// run must not record it as done.
constexpr char kNobodyToAnswerText[] =
    "nobody can answer the confirmation here (no visible desktop, or no input); nothing was "
    "changed. Run 't_uninst --quiet' to clean without asking.";

void ReportInBoxes(const TCleanupOutcome& outcome, const std::string& backupFile) {
  using TEnd = TCleanupOutcome::TEnd;
  WriteOutput(NoBackupNote(outcome));
  switch (outcome.End) {
    case TEnd::kNoBackup:
      WriteError(BackupFailureText(outcome) + "\n");
      ShowMessageBox(std::string(kNoBackup) + "\r" + outcome.BackupError, kCaption, MB_OK);
      return;
    case TEnd::kNotSaved:
      WriteError("t_uninst: " + outcome.SaveError + "\n");
      ShowMessageBox(kNotSaved, kCaption, MB_OK);
      return;
    case TEnd::kLeftovers:
    case TEnd::kDone:
      break;
  }
  if (outcome.Plan.CutShort()) {
    // Cut short, the run cannot say the product's traces are gone.
    if (!outcome.Leftovers.empty()) WriteError(LeftoversText(outcome.Leftovers, outcome.NamedViews));
    const TMessage line = UnfinishedLine(kSearchCutShort, KnownRemoved(outcome), backupFile);
    WriteError(line + "\n");
    Log(line);
    ShowUnfinishedBox(KnownRemoved(outcome), !backupFile.empty());
  } else if (outcome.End == TEnd::kLeftovers) {
    ReportLeftovers(outcome.Leftovers, outcome.NamedViews, LogFile(),
                    outcome.BackupFiles.empty() ? std::string() : outcome.BackupFiles.front());
  } else {
    ShowMessageBox(kCompletion, kCaption, MB_OK);
  }
}

}  // namespace

ExitCode RunCleanup(const std::string& backupFile, bool quiet) {
  TCleanupOutcome outcome;
  try {
    if (!quiet) {
      const int answer = ShowMessageBox(kConfirmation, kCaption, MB_OKCANCEL);
      if (answer == 0) {
        RunRecord().Summary = kNobodyToAnswerText;
        WriteError(std::string("t_uninst: ") + kNobodyToAnswerText + "\n");
        Log(std::string("answer\tnone: ") + kNobodyToAnswerText);
        return ExitCode::kNobodyToAnswer;
      }
      Log(answer == IDOK ? "answer\tOK" : "answer\tCancel");
      if (answer != IDOK) return ExitCode::kDone;
    }
    CleanUp(backupFile, outcome,
            [&outcome](const TRemoval& item, LONG answer) { LogRemovalTried(item, answer, outcome.NamedViews); });
    LogOutcome(outcome);
    RecordCleanup(outcome, backupFile);
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
      const TMessage line = UnfinishedLine(CurrentErrorText(), removed, backupFile);
      RecordCleanup(outcome, backupFile);
      RunRecord().Summary = line;
      WriteError(line + "\n");
      Log(line);
      if (!quiet) ShowUnfinishedBox(removed, !backupFile.empty());
    } catch (...) {
      // Not even that could be said: the exit code still tells.
    }
  }
  return ExitCode::kUnfinished;
}
