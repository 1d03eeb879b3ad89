#include "t_uninst/ItemText.h"

#include "platform/Escape.h"
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

std::vector<TMessage> ItemFields(const TRemoval& item, bool namedViews, bool everyField) {
  std::vector<TMessage> fields;
  if (namedViews)
    fields.emplace_back((item.View & KEY_WOW64_32KEY) != 0 ? "32-bit" : "64-bit");
  else if (everyField)
    fields.emplace_back("-");
  fields.emplace_back(item.IsKey ? "key" : "value");
  fields.push_back((item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
                   NameOf(item, false));
  const bool defaultValue = item.Unreachable ? item.WideValueName.empty() : item.ValueName.empty();
  if (item.IsKey) {
    if (everyField) fields.emplace_back();
  } else {
    fields.push_back(defaultValue ? TMessage("@") : "\"" + NameOf(item, true) + "\"");
  }
  return fields;
}

TMessage ItemLine(const TRemoval& item, bool namedViews, const char* word) {
  std::vector<TMessage> fields;
  if (word != nullptr) fields.emplace_back(word);
  for (TMessage& field : ItemFields(item, namedViews)) fields.push_back(std::move(field));
  if (item.Unreachable) {
    fields.push_back("cannot be removed by t_uninst: " + item.Why);
    return Record(fields) + "\n";
  }
  if (item.IsKey) fields.emplace_back(Contents(item));
  fields.push_back(item.Why);
  if (TMessage found = KeyAsTheUserFindsIt(item.Root, item.View, item.KeyPath); !found.empty())
    fields.push_back(std::move(found));
  return Record(fields) + "\n";
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
