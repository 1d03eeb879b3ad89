#include "TRemovalPlan.h"

TRemovalPlan::Place TRemovalPlan::PlaceOf(const TRegistry& reg, const std::string& fullPath) {
  std::basic_string<WCHAR> wide;
  const int length = MultiByteToWideChar(CP_ACP, 0, fullPath.data(), static_cast<int>(fullPath.size()), nullptr, 0);
  if (length > 0) {
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, fullPath.data(), static_cast<int>(fullPath.size()), wide.data(), length);
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  }
  // Doubled and trailing separators name no key of their own.
  std::basic_string<WCHAR> path;
  for (size_t start = 0; start <= wide.size();) {
    size_t end = wide.find(WCHAR('\\'), start);
    if (end == std::basic_string<WCHAR>::npos) end = wide.size();
    if (end > start) {
      if (!path.empty()) path.push_back(WCHAR('\\'));
      path.append(wide, start, end - start);
    }
    start = end + 1;
  }
  return {reg.Root(), reg.View(), path};
}

bool TRemovalPlan::Covered(const Place& place) const {
  const auto& [root, view, path] = place;
  for (size_t end = path.find(WCHAR('\\'));; end = path.find(WCHAR('\\'), end + 1)) {
    if (keys_.count({root, view, path.substr(0, end)}) != 0) return true;
    if (end == std::basic_string<WCHAR>::npos) return false;
  }
}

void TRemovalPlan::AddKey(TRegistry& reg, const std::string& path, const std::string& why) {
  TRemoval item;
  item.IsKey = true;
  item.KeyPath = reg.FullPath(path);
  Place place = PlaceOf(reg, item.KeyPath);
  if (Covered(place) || !reg.CountTree(path, item.SubkeysBelow, item.ValuesBelow)) return;
  item.Root = reg.Root();
  item.View = reg.View();
  item.Why = why;
  items_.push_back(std::move(item));
  keys_.insert(std::move(place));
}

void TRemovalPlan::AddValue(TRegistry& reg, const std::string& name, const std::string& why) {
  TValueStats stats;
  if (reg.Opened() == nullptr || !reg.QueryValue(name, stats) || Covered(PlaceOf(reg, reg.OpenedPath()))) return;
  TRemoval item;
  item.Root = reg.Root();
  item.View = reg.View();
  item.KeyPath = reg.OpenedPath();
  item.ValueName = name;
  item.Why = why;
  items_.push_back(std::move(item));
}

void RemovePlanned(const TRemovalPlan& plan) {
  for (const TRemoval& item : plan.Items()) {
    TRegistry reg;
    reg.SelectView(item.View);
    reg.SelectRoot(item.Root);
    if (item.IsKey)
      reg.DeleteTree("\\" + item.KeyPath);
    else if (reg.OpenExisting("\\" + item.KeyPath))
      reg.RemoveValue(item.ValueName);
  }
}
