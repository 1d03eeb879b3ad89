#include "t_uninst/Run.h"

#include "platform/dialogs.h"
#include "platform/output.h"
#include "t_uninst/Cleanup.h"
#include "t_uninst/Leftovers.h"
#include "t_uninst/Log.h"
#include "t_uninst/Messages.h"
#include "t_uninst/Unattended.h"

namespace {

// A box nobody can answer is no Cancel: a deployment tool that started the
// run must not record it as done.
constexpr char kNobodyToAnswerText[] =
    "nobody can answer the confirmation here (no visible desktop, or no input); nothing was "
    "changed. Run 't_uninst --quiet' to clean without asking.";

void ReportInBoxes(const TCleanupOutcome& outcome) {
  using TEnd = TCleanupOutcome::TEnd;
  WriteOutput(NoBackupNote(outcome));
  switch (outcome.End) {
    case TEnd::kNoBackup:
      WriteError(BackupFailureText(outcome));
      ShowMessageBox((std::string(kNoBackup) + "\r" + outcome.BackupError).c_str(), kCaption, MB_OK);
      break;
    case TEnd::kNotSaved:
      ShowMessageBox(kNotSaved, kCaption, MB_OK);
      break;
    case TEnd::kLeftovers:
      ReportLeftovers(outcome.Leftovers, outcome.NamedViews);
      break;
    case TEnd::kDone:
      ShowMessageBox(kCompletion, kCaption, MB_OK);
      break;
  }
}

}  // namespace

ExitCode RunCleanup(const std::string& backupFile, bool quiet) {
  try {
    if (!quiet) {
      const int answer = ShowMessageBox(kConfirmation, kCaption, MB_OKCANCEL);
      if (answer == 0) {
        WriteError(std::string("t_uninst: ") + kNobodyToAnswerText + "\n");
        Log(std::string("answer\tnone: ") + kNobodyToAnswerText);
        return ExitCode::kNobodyToAnswer;
      }
      Log(answer == IDOK ? "answer\tOK" : "answer\tCancel");
      if (answer != IDOK) return ExitCode::kDone;
    }
    const TCleanupOutcome outcome = CleanUp(backupFile);
    LogOutcome(outcome);
    if (quiet)
      ReportInLines(outcome);
    else
      ReportInBoxes(outcome);
    return ExitCodeOf(outcome);
  } catch (...) {
    // An error outside the passes ends the run without a word.
  }
  return ExitCode::kDone;
}
