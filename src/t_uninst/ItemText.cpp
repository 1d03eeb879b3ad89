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

// The key's path, or the value's name, as the functions that reached it
// give it.
TMessage NameOf(const TRemoval& item, bool valueName) {
  if (item.Unreachable) return TMessage::Name(valueName ? item.WideValueName : item.WideKeyPath);
  return TMessage::AnsiName(valueName ? item.ValueName : item.KeyPath);
}

}  // namespace

TMessage ItemPlace(const TRemoval& item, bool namedViews) {
  std::string place;
  if (namedViews) place = (item.View & KEY_WOW64_32KEY) != 0 ? "32-bit\t" : "64-bit\t";
  place += item.IsKey ? "key\t" : "value\t";
  place += item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  TMessage line = place + NameOf(item, false);
  if (item.IsKey) return line;
  const bool defaultValue = item.Unreachable ? item.WideValueName.empty() : item.ValueName.empty();
  return line + (defaultValue ? TMessage("\t@") : "\t\"" + NameOf(item, true) + "\"");
}

TMessage ItemLine(const TRemoval& item, bool namedViews) {
  TMessage line = ItemPlace(item, namedViews);
  if (item.Unreachable) return line + "\tcannot be removed by t_uninst: " + item.Why + "\n";
  // Piece by piece: "\t" + a temporary string trips a false -Wrestrict of GCC 12.
  if (item.IsKey) line += TMessage("\t") + Contents(item);
  line += "\t" + item.Why;
  if (const TMessage found = KeyAsTheUserFindsIt(item.Root, item.View, item.KeyPath); !found.empty())
    line += "\t" + found;
  return line + "\n";
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
