#include "cleaner/UnspellableNames.h"

#include <algorithm>
#include <unordered_set>

#include "cleaner/Keyword.h"
#include "cleaner/ProductKeys.h"
#include "cleaner/Widened.h"
#include "platform/NonAsciiNames.h"
#include "registry/TKeyHandle.h"

namespace {

using TWide = std::basic_string<WCHAR>;

// Names are at most 16,383 characters, two bytes each in code page 932.
constexpr DWORD kLongestName = 16384;
constexpr DWORD kLongestAnsiName = 2 * kLongestName;
constexpr char kCannotSpell[] = "cannot be written in code page 932";

std::u16string Utf16(const TWide& wide) { return {wide.begin(), wide.end()}; }

// A key opened to read, closed with its owner; none when it cannot be.
TKeyHandle OpenToRead(HKEY parent, const TWide& path, REGSAM view) {
  TKeyHandle key;
  key.Open(parent, path.c_str(), KEY_READ | view);
  return key;
}

// A subkey or value as both function families give it at one index: the
// wide name as stored, and the ANSI one, "?" where code page 932 has no
// character; for a value of text, its text as the product test reads it.
struct TName {
  TWide Wide;
  std::string Ansi;
  std::string Text;
  bool Spellable() const {
    // ASCII, as nearly every name is, is itself in code page 932.
    return std::all_of(Wide.begin(), Wide.end(), [](WCHAR c) { return c < 0x80; }) || Widened(Ansi) == Wide;
  }
};

// Calls `visit` with each subkey, one at a time: a list of them all would
// hold a large key's names twice over.
template <typename Visit>
void ForEachSubkey(HKEY key, Visit visit) {
  std::vector<WCHAR> wide(kLongestName);
  std::string ansi(kLongestAnsiName, '\0');
  TName name;
  for (DWORD index = 0;; ++index) {
    DWORD wideLength = kLongestName, ansiLength = kLongestAnsiName;
    if (RegEnumKeyExW(key, index, wide.data(), &wideLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        RegEnumKeyExA(key, index, ansi.data(), &ansiLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
    name.Wide.assign(wide.data(), wideLength);
    name.Ansi.assign(ansi.data(), ansiLength);
    visit(name);
  }
}

std::vector<TName> Values(HKEY key) {
  std::vector<TName> names;
  std::vector<WCHAR> wide(kLongestName);
  std::string ansi(kLongestAnsiName, '\0');
  std::vector<BYTE> data(4096);
  for (DWORD index = 0;; ++index) {
    DWORD wideLength = kLongestName, type = 0, size = 0;
    if (RegEnumValueW(key, index, wide.data(), &wideLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    LONG rc = ERROR_MORE_DATA;
    DWORD ansiLength = 0;
    while (rc == ERROR_MORE_DATA) {
      ansiLength = kLongestAnsiName;
      size = static_cast<DWORD>(data.size());
      rc = RegEnumValueA(key, index, ansi.data(), &ansiLength, nullptr, &type, data.data(), &size);
      if (rc == ERROR_MORE_DATA) data.resize(std::max<size_t>(size, data.size() * 2));
    }
    if (rc != ERROR_SUCCESS) return names;
    TName name{TWide(wide.data(), wideLength), ansi.substr(0, ansiLength), {}};
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      name.Text.assign(reinterpret_cast<const char*>(data.data()), size);
      name.Text.resize(std::min(name.Text.size(), name.Text.find('\0')));
    }
    names.push_back(std::move(name));
  }
}

// Whether every value of the key has a name of ASCII alone, which code page
// 932 holds as it is: the quick answer for nearly every key.
// `wide` holds the longest name; reused for each of many keys.
bool AsciiNamesOnly(HKEY key, std::vector<WCHAR>& wide) {
  for (DWORD index = 0;; ++index) {
    DWORD length = kLongestName;
    const LONG rc = RegEnumValueW(key, index, wide.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return true;
    if (rc != ERROR_SUCCESS) return false;
    if (std::any_of(wide.begin(), wide.begin() + length, [](WCHAR c) { return c >= 0x80; })) return false;
  }
}

class TLook {
 public:
  TLook(REGSAM view, TRemovalPlan& plan) : view_(view), plan_(plan) {
    for (const TRemoval& item : plan.Items())
      if (item.IsKey && item.Root == HKEY_LOCAL_MACHINE && item.View == view) planned_.insert(item.KeyPath);
  }

  // The subkeys of a tested list that the passes did not plan, each by
  // the product test.
  void TestedList(std::string_view list) {
    const TWide path = Widened(list.substr(1));
    const TKeyHandle key = OpenToRead(HKEY_LOCAL_MACHINE, path, view_);
    if (key.Get() == nullptr || !MayHoldNonAsciiNames(key.Get())) return;
    std::string plannedPath = std::string(list.substr(1)) + "\\";
    const size_t listLength = plannedPath.size();
    ForEachSubkey(key.Get(), [&](const TName& subkey) {
      const bool spellable = subkey.Spellable();
      if (spellable) {
        plannedPath.resize(listLength);
        plannedPath += subkey.Ansi;
        if (planned_.count(plannedPath) != 0) return;
      }
      TestKey(key.Get(), path, subkey, spellable);
    });
  }

  // The shared-DLL list, by name alone.
  void SharedDlls() {
    const TWide path = Widened(kSharedDlls.substr(1));
    const TKeyHandle key = OpenToRead(HKEY_LOCAL_MACHINE, path, view_);
    if (key.Get() == nullptr || !MayHoldNonAsciiNames(key.Get())) return;
    ForEachSubkey(key.Get(), [&](const TName& subkey) {
      if (!subkey.Spellable() && MentionsKeyword(subkey.Ansi))
        Add(true, path + WCHAR('\\') + subkey.Wide, {},
            std::string("its name ") + kCannotSpell + "; it mentions ZobrikLine");
    });
    for (const TName& value : Values(key.Get()))
      if (!value.Spellable() && MentionsKeyword(value.Ansi))
        Add(false, path, value.Wide, std::string("its name ") + kCannotSpell + "; it mentions ZobrikLine");
  }

 private:
  // A subkey of a list, planned when its name, or the name of its value
  // that mentions the product, cannot be spelled.
  void TestKey(HKEY list, const TWide& listPath, const TName& subkey, bool spellable) {
    // Opened from the list's key: the same key as by its whole path.
    const TKeyHandle tested = OpenToRead(list, subkey.Wide, view_);
    if (tested.Get() == nullptr) return;
    // A spellable key whose value names are ASCII is the pass's alone.
    if (spellable && (!MayHoldNonAsciiNames(tested.Get()) || AsciiNamesOnly(tested.Get(), names_))) return;
    for (const TName& named : Values(tested.Get())) {
      // A spellable key with spellable values is the pass's to judge.
      if (spellable && named.Spellable()) continue;
      const bool inData = MentionsKeyword(named.Text);
      if (!inData && !MentionsKeyword(named.Ansi)) continue;
      Add(true, listPath + WCHAR('\\') + subkey.Wide, {}, WhyUnspellable(named, inData, spellable));
      return;
    }
  }

  static TMessage WhyUnspellable(const TName& value, bool inData, bool keySpellable) {
    const TMessage named = "its value \"" + TMessage::Name(Utf16(value.Wide)) + "\"";
    const std::string mentions = std::string("mentions ZobrikLine in its ") + (inData ? "data" : "name");
    if (keySpellable) return "the name of " + named + ", which " + mentions + ", " + kCannotSpell;
    return std::string("its name ") + kCannotSpell + "; " + named + " " + mentions;
  }

  void Add(bool isKey, const TWide& keyPath, const TWide& valueName, const TMessage& why) {
    TRemoval item;
    item.IsKey = isKey;
    item.Root = HKEY_LOCAL_MACHINE;
    item.View = view_;
    item.WideKeyPath = Utf16(keyPath);
    item.WideValueName = Utf16(valueName);
    item.Why = why;
    item.Reading = TTreeReading::kNone;
    item.Unreachable = true;
    plan_.AddUnreachable(std::move(item));
  }

  REGSAM view_;
  TRemovalPlan& plan_;
  std::unordered_set<std::string> planned_;  // the keys the passes planned, by path
  std::vector<WCHAR> names_ = std::vector<WCHAR>(kLongestName);
};

}  // namespace

void PlanUnspellableNames(REGSAM view, TRemovalPlan& plan) {
  TLook look(view, plan);
  for (std::string_view list : kTestedLists) look.TestedList(list);
  look.SharedDlls();
}
