#include "Run.h"

#include "../cleaner/Tinst0.h"
#include "../platform/dialogs.h"
#include "../platform/machine.h"
#include "Messages.h"

namespace {

constexpr int kNotSavedExitCode = 3;

bool SaveRegistry() {
  const bool machine = RegFlushKey(HKEY_LOCAL_MACHINE) == ERROR_SUCCESS;
  const bool classes = RegFlushKey(HKEY_CLASSES_ROOT) == ERROR_SUCCESS;
  return machine && classes;
}

}  // namespace

int RunCleanup() {
  try {
    if (ShowMessageBox(kConfirmation, kCaption, MB_OKCANCEL) != IDOK) return 0;
    for (REGSAM view : RegistryViews()) {
      Tinst0 cleaner(view);
      // A pass that stops early has cleaned what it could; the run goes on.
      cleaner.CleanInstallerEntries();
      cleaner.CleanSharedDlls();
    }
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
