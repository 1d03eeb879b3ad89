#include "cleaner/TRemovalPlan.h"

bool TRemovalPlan::Covered(const std::basic_string<WCHAR>& identity) const {
  if (identity.empty()) return false;
  std::basic_string<WCHAR> prefix;
  for (size_t end = identity.find(WCHAR('\\'), 1);; end = identity.find(WCHAR('\\'), end + 1)) {
    prefix.assign(identity, 0, end);
    if (keys_.count(prefix) != 0) return true;
    if (end == std::basic_string<WCHAR>::npos) return false;
  }
}

void TRemovalPlan::AddKey(TRegistry& reg, const std::string& path, const TMessage& why) {
  TRemoval item;
  std::basic_string<WCHAR> identity;
  item.Reading = reg.DescribeTree(path, identity, item.SubkeysBelow, item.ValuesBelow);
  if (item.Reading == TTreeReading::kMissing || Covered(identity)) return;
  item.IsKey = true;
  item.Root = reg.Root();
  item.View = reg.View();
  item.KeyPath = reg.FullPath(path);
  item.Why = why;
  items_.push_back(std::move(item));
  if (!identity.empty()) keys_.insert(std::move(identity));
}

void TRemovalPlan::AddValue(TRegistry& reg, const std::string& name, const TMessage& why) {
  TValueStats stats;
  if (reg.Opened() == nullptr || !reg.QueryValue(name, stats)) return;
  std::basic_string<WCHAR> identity = reg.OpenedIdentity();
  if (Covered(identity)) return;
  if (!identity.empty()) {
    // ANSI names contain no NUL, so the NUL separates.
    identity += WCHAR(0);
    for (char c : name) identity += static_cast<WCHAR>(static_cast<unsigned char>(c));
    if (!values_.insert(std::move(identity)).second) return;
  }
  TRemoval item;
  item.Root = reg.Root();
  item.View = reg.View();
  item.KeyPath = reg.OpenedPath();
  item.ValueName = name;
  item.Why = why;
  items_.push_back(std::move(item));
}

namespace {

LONG RemoveOne(const TRemoval& item, bool wholeOnly) {
  if (item.Unreachable) return kUnreachable;
  if (wholeOnly && item.Reading != TTreeReading::kWhole) return kNotInBackup;
  TRegistry reg;
  reg.SelectView(item.View);
  reg.SelectRoot(item.Root);
  if (item.IsKey)
    reg.DeleteTree("\\" + item.KeyPath);
  else if (reg.OpenExisting("\\" + item.KeyPath))
    reg.RemoveValue(item.ValueName);
  return reg.LastError();
}

}  // namespace

void RemovePlanned(const TRemovalPlan& plan, std::vector<LONG>& answers, bool wholeOnly,
                   const std::function<void(const TRemoval&, LONG)>& tried) {
  answers.reserve(answers.size() + plan.Items().size());
  for (const TRemoval& item : plan.Items()) {
    answers.push_back(RemoveOne(item, wholeOnly));
    if (tried) tried(item, answers.back());
  }
}

std::vector<TLeftover> FindLeftovers(const TRemovalPlan& plan, const std::vector<LONG>& answers) {
  std::vector<TLeftover> left;
  for (size_t index = 0; index < plan.Items().size(); ++index) {
    const TRemoval& item = plan.Items()[index];
    if (item.Unreachable) {
      left.push_back({item, kUnreachable});
      continue;
    }
    TRegistry reg;
    reg.SelectView(item.View);
    reg.SelectRoot(item.Root);
    const std::string key = "\\" + item.KeyPath;
    const bool there = item.IsKey ? reg.KeyExists(key) : reg.ValueExists(key, item.ValueName);
    if (there) left.push_back({item, index < answers.size() ? answers[index] : ERROR_SUCCESS});
  }
  return left;
}
