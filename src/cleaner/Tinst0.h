// The cleaner: finds what the product's setup left in the machine-wide
// registry. Each pass gives true when it ran to its end, false when an
// error cut it short.
#pragma once

#include <string>

#include "cleaner/TRemovalPlan.h"
#include "registry/TRegistry.h"

// The value through which a key mentions the product.
struct TProductMention {
  std::string ValueName;
  bool InData = false;  // in its data, else in its name
};

class Tinst0 {
 public:
  // `view` selects the registry view of every key the cleaner opens (see
  // TRegistry::SelectView).
  explicit Tinst0(REGSAM view = 0);

  // The passes, which decide what goes into `plan` (the run then removes
  // what the plan lists): component registrations and uninstall entries
  // that mention the product, and the registrations of the product codes;
  // then the product's shared-DLL reference counts, judged by name alone.
  // Whatever was planned before an error cut a pass short stays planned.
  bool CleanInstallerEntries(TRemovalPlan& plan);
  bool CleanSharedDlls(TRemovalPlan& plan);

  // The product test: whether one of the values of the key at `path`
  // (absolute, below HKEY_LOCAL_MACHINE) mentions the product in its data
  // or its name, with the first value that does.
  bool KeyMentionsProduct(const std::string& path, TProductMention& mention);

 private:
  REGSAM view_;
  TRegistry reg_;
};
