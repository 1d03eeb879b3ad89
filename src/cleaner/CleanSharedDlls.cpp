// The shared-DLL pass: entries are judged by their names alone.
#include "cleaner/Keyword.h"
#include "cleaner/ProductKeys.h"
#include "cleaner/Tinst0.h"

bool Tinst0::CleanSharedDlls(TRemovalPlan& plan) {
  try {
    TStringList names;
    if (!reg_.OpenExisting(std::string(kSharedDlls))) return true;
    reg_.ListSubkeys(names);
    for (const std::string_view name : names)
      if (MentionsKeyword(name)) plan.AddKey(reg_, std::string(name), "its name mentions ZobrikLine");
    names.Clear();
    reg_.ListValues(names);
    for (const std::string_view listed : names) {
      if (!MentionsKeyword(listed)) continue;
      const std::string name(listed);
      plan.AddValue(reg_, name, "its name mentions ZobrikLine");
      // The name resolves as a key path below the list too; for a file path
      // it names no key. A name that begins with "\" would resolve from the
      // machine's root instead, outside the list: it is not taken as a key.
      if (IsRelativePath(name))
        plan.AddKey(reg_, name, "a key with the name of a shared-DLL value that mentions ZobrikLine");
    }
    names.Clear();
    return true;
  } catch (...) {
    return false;
  }
}
