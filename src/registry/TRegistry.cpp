#include "registry/TRegistry.h"

#include <algorithm>
#include <vector>

#include "registry/EnumerateName.h"
#include "registry/SystemFacts.h"
#include "registry/TKeyHandle.h"

namespace {

std::string WithoutLeadingBackslash(const std::string& path, bool relative) { return relative ? path : path.substr(1); }

// A name buffer of the reported maximum plus the terminating NUL.
std::vector<char> NameBuffer(DWORD nameMax) { return std::vector<char>(static_cast<size_t>(nameMax) + 1); }

}  // namespace

bool IsRelativePath(const std::string& path) { return path.empty() || path[0] != '\\'; }

TRegistry::~TRegistry() { CloseOpened(); }

HKEY TRegistry::BaseFor(bool relative) const { return opened_ != nullptr && relative ? opened_ : root_; }

void TRegistry::SelectRoot(HKEY root) {
  if (root == root_) return;
  root_ = root;
  CloseOpened();
}

bool TRegistry::OpenExisting(const std::string& path) {
  const bool relative = IsRelativePath(path);
  // The path without its leading backslash, in place.
  const char* sub = path.c_str() + (relative ? 0 : 1);
  HKEY key = nullptr;
  lastError_ = RegOpenKeyExA(BaseFor(relative), sub, 0, rights_ | view_, &key);
  if (lastError_ != ERROR_SUCCESS) return false;
  std::string newPath = opened_ != nullptr && relative ? openedPath_ + "\\" + sub : std::string(sub);
  CloseOpened();
  opened_ = key;
  openedPath_ = std::move(newPath);
  return true;
}

void TRegistry::CloseOpened() {
  if (opened_ == nullptr) return;
  RegCloseKey(opened_);
  opened_ = nullptr;
  openedPath_.clear();
}

bool TRegistry::QueryStats(TKeyStats& stats) {
  stats = TKeyStats{};
  if (opened_ == nullptr) return false;
  const LONG rc =
      RegQueryInfoKeyA(opened_, nullptr, nullptr, nullptr, &stats.SubkeyCount, &stats.SubkeyNameMax, nullptr,
                       &stats.ValueCount, &stats.ValueNameMax, &stats.ValueDataMax, nullptr, &stats.LastWrite);
  if (rc != ERROR_SUCCESS) return false;
  if (NamesNeedDoubleBuffers()) {
    stats.SubkeyNameMax *= 2;
    stats.ValueNameMax *= 2;
  }
  return true;
}

void TRegistry::ListSubkeys(TStringList& list) { ListNames(NameList::kSubkeys, list); }

void TRegistry::ListValues(TStringList& list) { ListNames(NameList::kValues, list); }

void TRegistry::ListNames(NameList which, TStringList& list) {
  list.Clear();
  TKeyStats stats;
  if (!QueryStats(stats)) return;
  const bool subkeys = which == NameList::kSubkeys;
  std::vector<char> buffer = NameBuffer(subkeys ? stats.SubkeyNameMax : stats.ValueNameMax);
  const DWORD count = subkeys ? stats.SubkeyCount : stats.ValueCount;
  list.Reserve(count, buffer.size());
  std::string name;
  for (DWORD index = 0; index < count; ++index)
    if (EnumerateName(opened_, which, index, buffer, name)) list.Add(name);
}

bool TRegistry::QueryValue(const std::string& name, TValueStats& stats) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExA(opened_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  stats.DataKind = KindOfType(type);
  stats.Size = size;
  return true;
}

std::int64_t TRegistry::ValueSize(const std::string& name) {
  TValueStats stats;
  return QueryValue(name, stats) ? static_cast<std::int64_t>(stats.Size) : -1;
}

DWORD TRegistry::FetchValue(const std::string& name, void* buffer, DWORD size, TValueKind& kind) {
  DWORD type = REG_NONE;
  DWORD length = size;
  if (RegQueryValueExA(opened_, name.c_str(), nullptr, &type, static_cast<BYTE*>(buffer), &length) != ERROR_SUCCESS)
    throw ERegistryException::FetchFailed(name);
  kind = KindOfType(type);
  return length;
}

TRegistry::TextRead TRegistry::ReadTextInto(const std::string& name, std::string& text) {
  text.clear();
  const std::int64_t length = ValueSize(name);
  if (length <= 0) return TextRead::kRead;
  text.assign(static_cast<size_t>(length), '\0');
  DWORD type = REG_NONE;
  DWORD size = static_cast<DWORD>(text.size());
  if (RegQueryValueExA(opened_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    text.clear();
    return TextRead::kFetchFailed;
  }
  text.resize(size);
  const TValueKind kind = KindOfType(type);
  if (kind != vkString && kind != vkExpandString) {
    text.clear();
    return TextRead::kWrongKind;
  }
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return TextRead::kRead;
}

std::string TRegistry::ReadText(const std::string& name) {
  std::string text;
  switch (ReadTextInto(name, text)) {
    case TextRead::kFetchFailed:
      throw ERegistryException::FetchFailed(name);
    case TextRead::kWrongKind:
      throw ERegistryException::WrongKind(name);
    case TextRead::kRead:
      break;
  }
  return text;
}

bool TRegistry::TryReadText(const std::string& name, std::string& text) {
  return ReadTextInto(name, text) == TextRead::kRead;
}

HKEY TRegistry::OpenHandleOf(const std::string& path) {
  const bool relative = IsRelativePath(path);
  const std::string sub = WithoutLeadingBackslash(path, relative);
  HKEY key = nullptr;
  return RegOpenKeyExA(BaseFor(relative), sub.c_str(), 0, rights_ | view_, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool TRegistry::DeleteTree(const std::string& path) {
  const bool relative = IsRelativePath(path);
  const std::string sub = WithoutLeadingBackslash(path, relative);
  // Resolved now: the walk below swaps the opened key.
  const HKEY base = BaseFor(relative);
  if (const TKeyHandle key{OpenHandleOf(path)}) {
    // The subkeys are deleted through the handle, as the opened key for the
    // time being. Whatever happens, the opened key comes back, and then the
    // handle is closed: declared after it, the restore runs first.
    struct Restore {
      TRegistry& reg;
      HKEY previous;
      ~Restore() { reg.opened_ = previous; }
    } restore{*this, opened_};
    opened_ = key.Get();
    TKeyStats stats;
    if (QueryStats(stats)) {
      std::vector<char> buffer = NameBuffer(stats.SubkeyNameMax);
      std::string name;
      for (DWORD index = stats.SubkeyCount; index-- > 0;)
        if (EnumerateName(key.Get(), NameList::kSubkeys, index, buffer, name)) DeleteTree(name);
    }
  }
  // A key in a chosen view is deleted in that view.
  lastError_ = view_ != 0 ? RegDeleteKeyExA(base, sub.c_str(), view_, 0) : RegDeleteKeyA(base, sub.c_str());
  return lastError_ == ERROR_SUCCESS;
}

bool TRegistry::RemoveValue(const std::string& name) {
  lastError_ = opened_ == nullptr ? ERROR_INVALID_HANDLE : RegDeleteValueA(opened_, name.c_str());
  return lastError_ == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& path) {
  const bool relative = IsRelativePath(path);
  TKeyHandle key;
  // No rights asked: the open only finds the key.
  return key.Open(BaseFor(relative), WithoutLeadingBackslash(path, relative).c_str(), view_) != ERROR_FILE_NOT_FOUND;
}

bool TRegistry::ValueExists(const std::string& path, const std::string& name) {
  const bool relative = IsRelativePath(path);
  TKeyHandle key;
  const LONG rc = key.Open(BaseFor(relative), WithoutLeadingBackslash(path, relative).c_str(), KEY_QUERY_VALUE | view_);
  if (rc != ERROR_SUCCESS) return rc != ERROR_FILE_NOT_FOUND;
  return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

std::string TRegistry::FullPath(const std::string& path) const {
  const bool relative = IsRelativePath(path);
  const std::string sub = WithoutLeadingBackslash(path, relative);
  return opened_ != nullptr && relative ? openedPath_ + "\\" + sub : sub;
}

TTreeReading TRegistry::DescribeTree(const std::string& path, std::basic_string<WCHAR>& identity, DWORD& subkeys,
                                     DWORD& values) {
  const bool relative = IsRelativePath(path);
  const std::string sub = WithoutLeadingBackslash(path, relative);
  TKeyHandle key;
  const LONG rc = key.Open(BaseFor(relative), sub.c_str(), KEY_READ | view_);
  if (rc == ERROR_ACCESS_DENIED) {
    if (key.Open(BaseFor(relative), sub.c_str(), view_) == ERROR_SUCCESS) identity = KeyIdentity(key.Get());
    return TTreeReading::kNone;
  }
  if (rc != ERROR_SUCCESS) return TTreeReading::kMissing;
  identity = KeyIdentity(key.Get());
  TTreeReading reading = TTreeReading::kWhole;
  CountBelow(key.Get(), subkeys, values, reading);
  return reading;
}

std::basic_string<WCHAR> TRegistry::OpenedIdentity() const {
  return opened_ != nullptr ? KeyIdentity(opened_) : std::basic_string<WCHAR>();
}

void TRegistry::CountBelow(HKEY key, DWORD& subkeys, DWORD& values, TTreeReading& reading) {
  auto lower = [&reading](TTreeReading to) {
    if (reading != TTreeReading::kUnspellable) reading = to;
  };
  DWORD count = 0, nameMax = 0, valueCount = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &nameMax, nullptr, &valueCount, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    lower(TTreeReading::kPart);
    return;
  }
  values += valueCount;
  std::vector<char> buffer = NameBuffer(NamesNeedDoubleBuffers() ? nameMax * 2 : nameMax);
  std::string name;
  for (DWORD index = 0; index < count; ++index) {
    if (!EnumerateName(key, NameList::kSubkeys, index, buffer, name)) {
      lower(TTreeReading::kPart);
      continue;
    }
    ++subkeys;
    TKeyHandle child;
    if (const LONG rc = child.Open(key, name.c_str(), KEY_READ | view_); rc != ERROR_SUCCESS) {
      // Just listed, yet not found by its name: the name as spelled for
      // the ANSI functions is not the key's.
      lower(rc == ERROR_FILE_NOT_FOUND ? TTreeReading::kUnspellable : TTreeReading::kPart);
      continue;
    }
    CountBelow(child.Get(), subkeys, values, reading);
  }
}
