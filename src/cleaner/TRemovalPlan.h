// What a run removes, decided before anything is removed: keys with
// everything below them, and single values, in the order the passes meet
// them. The preview prints it, the backup saves it, the run removes it:
// all three read the same list.
#pragma once

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Message.h"
#include "registry/TRegistry.h"

struct TRemoval {
  bool IsKey = false;                           // a key with everything below it, else one value
  HKEY Root = nullptr;                          // HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT
  REGSAM View = 0;                              // the registry view it lies in (TRegistry::SelectView)
  std::string KeyPath;                          // the key, or the value's key, below the root
  std::string ValueName;                        // the value, for a value
  TMessage Why;                                 // why it goes
  DWORD SubkeysBelow = 0;                       // a key's subtree: keys below it,
  DWORD ValuesBelow = 0;                        // and values in it and below it, as far as
  TTreeReading Reading = TTreeReading::kWhole;  // it could be read
  // Found by the program's look through the wide functions: a name on its
  // way cannot be written in code page 932, so the ANSI functions, and the
  // run, cannot reach it. It is reported, never removed; its names are the
  // wide ones below (KeyPath and ValueName stay empty), and Why says which
  // name it is.
  bool Unreachable = false;
  std::u16string WideKeyPath;
  std::u16string WideValueName;
};

class TRemovalPlan {
 public:
  // Plans the key that `path` names on `reg` (resolved as DeleteTree
  // resolves it) with everything below it, however much of it can be
  // read. Nothing when there is no such key, or it is planned already,
  // itself or through a key above it.
  void AddKey(TRegistry& reg, const std::string& path, const TMessage& why);

  // Plans one value of reg's opened key. Nothing when there is no such
  // value, its key is planned already, or it is planned already through
  // another view or root that reaches the same key.
  void AddValue(TRegistry& reg, const std::string& name, const TMessage& why);

  // Plans an item the run cannot remove (TRemoval::Unreachable), to be
  // reported.
  void AddUnreachable(TRemoval item) { items_.push_back(std::move(item)); }

  const std::vector<TRemoval>& Items() const { return items_; }

  // Marks the plan as cut short: an error stopped a pass that planned into
  // it, so the registry may hold more of the product than it lists.
  void MarkCutShort() { cutShort_ = true; }
  bool CutShort() const { return cutShort_; }

 private:
  // Whether a key, by its identity (KeyIdentity), is planned already,
  // itself or through a key above it.
  bool Covered(const std::basic_string<WCHAR>& identity) const;

  std::vector<TRemoval> items_;
  std::unordered_set<std::basic_string<WCHAR>> keys_;    // the identities of the planned keys
  std::unordered_set<std::basic_string<WCHAR>> values_;  // their key's identity, a NUL, their name
  bool cutShort_ = false;
};

// The answer RemovePlanned gives for a key it did not try: a backup holds
// only what could be read, and nothing goes that the backup does not hold.
constexpr LONG kNotInBackup = -1;
// The answer for an item the run cannot reach (TRemoval::Unreachable).
constexpr LONG kUnreachable = -2;

// Removes what the plan lists, in its order, through the accessor. A key
// or value the registry refuses to delete stays; the rest still goes.
// With `wholeOnly`, a key that could not be read whole is not tried; an
// unreachable item never is.
// Appends to `answers`, item by item as it goes, the registry's answer:
// ERROR_SUCCESS, why it refused, or kNotInBackup; after an error that stops
// it, they tell what was tried before. `tried`, when given, hears of each
// item with its answer as soon as the answer is in.
void RemovePlanned(const TRemovalPlan& plan, std::vector<LONG>& answers, bool wholeOnly = false,
                   const std::function<void(const TRemoval&, LONG)>& tried = {});

// A planned item still in the registry after the run, and the registry's
// answer when its removal was tried.
struct TLeftover {
  TRemoval Item;
  LONG Reason = ERROR_SUCCESS;
};

// The planned items that are still there, in the plan's order, the
// unreachable ones always; `answers` are RemovePlanned's.
std::vector<TLeftover> FindLeftovers(const TRemovalPlan& plan, const std::vector<LONG>& answers);
