#include "Preview.h"

#include <string>

#include "../platform/machine.h"
#include "../platform/output.h"
#include "Plan.h"

namespace {

std::string ViewName(REGSAM view) { return (view & KEY_WOW64_32KEY) != 0 ? "32-bit" : "64-bit"; }

// kind, root and path, then the value's name or the key's contents, then why.
std::string Line(const TRemoval& item, bool namedViews) {
  std::string line = namedViews ? ViewName(item.View) + "\t" : "";
  line += item.IsKey ? "key\t" : "value\t";
  line += item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  line += item.KeyPath + "\t";
  if (item.IsKey)
    line += std::to_string(item.SubkeysBelow) + " subkeys, " + std::to_string(item.ValuesBelow) + " values";
  else
    line += item.ValueName.empty() ? "@" : "\"" + item.ValueName + "\"";
  return line + "\t" + item.Why + "\n";
}

}  // namespace

int RunPreview() {
  const std::vector<REGSAM> views = RegistryViews();
  const TRemovalPlan plan = PlanCleanup(views);
  size_t keys = 0, subkeys = 0, theirValues = 0, values = 0;
  for (const TRemoval& item : plan.Items()) {
    WriteOutput(Line(item, views.size() > 1));
    keys += item.IsKey;
    subkeys += item.IsKey ? item.SubkeysBelow : 0;
    theirValues += item.IsKey ? item.ValuesBelow : 0;
    values += !item.IsKey;
  }
  WriteOutput("A run would remove " + std::to_string(keys) + " keys, with " + std::to_string(subkeys) + " keys and " +
              std::to_string(theirValues) + " values in and below them, and " + std::to_string(values) +
              " values of other keys. Nothing has been changed.\n");
  return 0;
}
