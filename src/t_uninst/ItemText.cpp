#include "t_uninst/ItemText.h"

#include "platform/MachineRegistry.h"

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

}  // namespace

std::string ItemPlace(const TRemoval& item, bool namedViews) {
  std::string line;
  if (namedViews) line = (item.View & KEY_WOW64_32KEY) != 0 ? "32-bit\t" : "64-bit\t";
  line += item.IsKey ? "key\t" : "value\t";
  line += item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  line += item.KeyPath;
  if (!item.IsKey) line += item.ValueName.empty() ? "\t@" : "\t\"" + item.ValueName + "\"";
  return line;
}

std::string ItemLine(const TRemoval& item, bool namedViews) {
  // Appended piece by piece: "\t" + text trips a false -Wrestrict of GCC 12.
  std::string line = ItemPlace(item, namedViews);
  if (item.Unreachable) return line.append("\tcannot be removed by t_uninst: ").append(item.Why).append("\n");
  if (item.IsKey) line.append("\t").append(Contents(item));
  line.append("\t").append(item.Why);
  if (const std::string found = KeyAsTheUserFindsIt(item.Root, item.View, item.KeyPath); !found.empty())
    line.append("\t").append(found);
  return line.append("\n");
}

std::string ItemTotals(const std::vector<TRemoval>& items) {
  size_t keys = 0, subkeys = 0, theirValues = 0, values = 0;
  for (const TRemoval& item : items) {
    if (item.Unreachable) continue;
    keys += item.IsKey;
    subkeys += item.IsKey ? item.SubkeysBelow : 0;
    theirValues += item.IsKey ? item.ValuesBelow : 0;
    values += !item.IsKey;
  }
  if (keys == 0 && values == 0) return "nothing";
  std::string text;
  if (keys > 0) {
    text += Count(keys, "key");
    if (subkeys + theirValues > 0)
      text += ", holding " + Count(subkeys, "subkey") + " and " + Count(theirValues, "value");
    if (values > 0) text += ", and ";
  }
  if (values > 0) text += Count(values, "value") + (keys > 0 ? " of other keys" : "");
  return text;
}
