#include "Preview.h"

#include <string>

#include "../platform/machine.h"
#include "../platform/output.h"
#include "ItemText.h"
#include "Plan.h"

namespace {

// "1 value", "2 values".
std::string Count(size_t count, const std::string& thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string Contents(const TRemoval& key) {
  if (key.Reading == TTreeReading::kNone) return "contents unknown: it cannot be read";
  std::string text = Count(key.SubkeysBelow, "subkey") + ", " + Count(key.ValuesBelow, "value");
  return key.Reading == TTreeReading::kPart ? text + ", and more that cannot be read" : text;
}

// Where it lies (a value with its name), then a key's contents, then why,
// then where the user finds the key when the platform has more to say.
std::string Line(const TRemoval& item, bool namedViews) {
  // Appended piece by piece: "\t" + text trips a false -Wrestrict of GCC 12.
  std::string line = ItemPlace(item, namedViews);
  if (item.IsKey) line.append("\t").append(Contents(item));
  line.append("\t").append(item.Why);
  if (const std::string found = KeyAsTheUserFindsIt(item.Root, item.View, item.KeyPath); !found.empty())
    line.append("\t").append(found);
  return line.append("\n");
}

std::string Summary(size_t keys, size_t subkeys, size_t theirValues, size_t values) {
  if (keys == 0 && values == 0) return "Nothing of ZobrikLine was found; a run changes nothing.\n";
  std::string text = "A run would remove ";
  if (keys > 0) {
    text += Count(keys, "key");
    if (subkeys + theirValues > 0) {
      text += ", holding ";
      text += Count(subkeys, "subkey") + " and " + Count(theirValues, "value");
    }
    if (values > 0) text += ", and ";
  }
  if (values > 0) text += Count(values, "value") + (keys > 0 ? " of other keys" : "");
  return text + ". Nothing has been changed.\n";
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
  WriteOutput(Summary(keys, subkeys, theirValues, values));
  return 0;
}
