#include "ItemText.h"

std::string ItemPlace(const TRemoval& item, bool namedViews) {
  std::string line;
  if (namedViews) line = (item.View & KEY_WOW64_32KEY) != 0 ? "32-bit\t" : "64-bit\t";
  line += item.IsKey ? "key\t" : "value\t";
  line += item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  line += item.KeyPath;
  if (!item.IsKey) line += item.ValueName.empty() ? "\t@" : "\t\"" + item.ValueName + "\"";
  return line;
}
