#include "Run.h"

#include "../backup/Backup.h"
#include "../platform/dialogs.h"
#include "../platform/machine.h"
#include "../platform/output.h"
#include "Messages.h"
#include "Plan.h"

namespace {

constexpr int kNotSavedExitCode = 3;
constexpr int kNoBackupExitCode = 4;

bool SaveRegistry() {
  const bool machine = RegFlushKey(HKEY_LOCAL_MACHINE) == ERROR_SUCCESS;
  const bool classes = RegFlushKey(HKEY_CLASSES_ROOT) == ERROR_SUCCESS;
  return machine && classes;
}

}  // namespace

int RunCleanup(const std::string& backupFile) {
  try {
    if (ShowMessageBox(kConfirmation, kCaption, MB_OKCANCEL) != IDOK) return 0;
    const std::vector<REGSAM> views = RegistryViews();
    const TRemovalPlan plan = PlanCleanup(views);
    if (std::string error; !backupFile.empty() && !WriteBackup(plan, views, backupFile, error)) {
      WriteError("t_uninst: the backup could not be written: " + error + "; nothing was removed\n");
      ShowMessageBox((std::string(kNoBackup) + "\r" + error).c_str(), kCaption, MB_OK);
      return kNoBackupExitCode;
    }
    RemovePlanned(plan);
    if (!SaveRegistry()) {
      ShowMessageBox(kNotSaved, kCaption, MB_OK);
      return kNotSavedExitCode;
    }
    ShowMessageBox(kCompletion, kCaption, MB_OK);
  } catch (...) {
    // An error outside the passes ends the run without a word.
  }
  return 0;
}
