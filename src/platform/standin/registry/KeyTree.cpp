#include "platform/standin/registry/KeyTree.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/standin/registry/Upcase.h"

namespace standin {
namespace {

constexpr size_t kIndexFrom = 16;  // values or children; below this a scan is faster
// Value blocks double from a small page's worth to a large page's.
constexpr size_t kFirstValueBlock = 4096 / sizeof(Value);
constexpr size_t kLastValueBlock = kLargeBlock<Value>;

using Slot = IndexSlot;

// The value extras of a key, or null.
ValueExtras* ValuesOf(const Key& key) { return key.extras ? key.extras->values.get() : nullptr; }

std::uint32_t SlotHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash); }

void Enter(LargeVector<Slot>& index, Slot entry) {
  const size_t mask = index.size() - 1;
  size_t slot = entry.hash & mask;
  while (index[slot].position != 0) slot = (slot + 1) & mask;
  index[slot] = entry;
}

// An empty index for `count` entries: the smallest that is at most three
// quarters full (entries take twice the memory of positions alone).
LargeVector<Slot> IndexFor(size_t count) {
  return LargeVector<Slot>(std::max<size_t>(64, std::bit_ceil(4 * count / 3 + 1)));
}

// Enters one more, growing the index (by doubling, at three quarters
// full) from its own entries.
void EnterGrowing(LargeVector<Slot>& index, size_t count, Slot entry) {
  if (4 * count > 3 * index.size()) {
    LargeVector<Slot> grown(2 * index.size());
    for (const Slot& old : index)
      if (old.position != 0) Enter(grown, old);
    index = std::move(grown);
  }
  Enter(index, entry);
}

bool IsAscii(const Name& name) {
  if (name.narrow()) return true;
  char16_t seen = 0;
  for (size_t i = 0; i < name.size(); ++i) seen |= name.units()[i];
  return seen < 0x80;
}

// Marks a key, and the keys above it, as holding a name beyond ASCII.
void MarkNonAscii(Key* key) {
  for (; key != nullptr && !key->nonAscii; key = key->parent) key->nonAscii = true;
}

Key* ScanChildren(const KeyExtras& more, const Name& name) {
  for (Key* child : more.children)
    if (child->name.size() == name.size() && SameName(child->name, name)) return child;
  return nullptr;
}

// A key's subkeys lie wherever the file's order put them, and so do their
// names and values: listing or opening many of them in their sorted order
// reaches all over memory, with a wait at each. The processor is asked
// ahead for what the steps to come will read, so that it fetches it while
// this step goes on: the key twice as far ahead, and what the key at
// `distance` points at, which has come by then. Inlined where it is asked:
// the compiler drops a call to a function that only prefetches.
[[gnu::always_inline]] inline void AskAhead(const LargeVector<Key*>& children, size_t index, size_t distance) {
  if (index + 2 * distance < children.size()) __builtin_prefetch(children[index + 2 * distance]);
  if (index + distance < children.size()) {
    const Key& key = *children[index + distance];
    __builtin_prefetch(key.name.narrow() ? key.name.bytes() : static_cast<const void*>(key.name.units()));
    __builtin_prefetch(key.values);
  }
}

// Steps between the subkeys asked for ahead: opening one and reading its values
// takes longer than listing its name.
constexpr size_t kOpeningAhead = 4;
constexpr size_t kListingAhead = 8;

// The child after the last one found (after the last child, the first: a
// new listing begins), then that one again, or null.
Key* NextListed(const KeyExtras& more, const Name& name) {
  const auto& children = more.children;
  const std::uint32_t next = more.nextChild < children.size() ? more.nextChild : 0;
  for (const std::uint32_t at : {next, more.nextChild - 1}) {
    if (at >= children.size()) continue;
    if (Key* child = children[at]; child->name.size() == name.size() && SameName(child->name, name)) {
      more.nextChild = at + 1;
      AskAhead(children, at, kOpeningAhead);
      return child;
    }
  }
  return nullptr;
}

// The child of that name among sorted children, or null: a few steps
// where building an index would read every child's name first.
Key* FindSorted(const KeyExtras& more, const Name& name) {
  const auto at = std::lower_bound(more.children.begin(), more.children.end(), name,
                                   [](const Key* child, const Name& n) { return CompareUpcased(child->name, n) < 0; });
  if (at == more.children.end() || CompareUpcased((*at)->name, name) != 0) return nullptr;
  more.nextChild = static_cast<std::uint32_t>(at - more.children.begin()) + 1;
  return *at;
}

void IndexChildren(const KeyExtras& more);
Key* FindIndexed(const KeyExtras& more, const Name& name, std::uint32_t hash);

// The child of that name among many, or null. Sorted children are
// searched; others need the index, kept from then on.
Key* FindAmong(const KeyExtras& more, const Name& name, std::uint64_t hash) {
  if (more.childrenSorted && more.childIndex.empty()) return FindSorted(more, name);
  return FindIndexed(more, name, SlotHash(hash != 0 ? hash : HashUpcased(name)));
}

void IndexChildren(const KeyExtras& more) {
  more.childIndex = IndexFor(more.children.size());
  for (std::uint32_t i = 0; i < more.children.size(); ++i) Enter(more.childIndex, {more.children[i]->Hash(), i + 1});
}

// The child of that name by the index, or null.
Key* FindIndexed(const KeyExtras& more, const Name& name, std::uint32_t hash) {
  if (more.childIndex.empty()) IndexChildren(more);
  const size_t mask = more.childIndex.size() - 1;
  for (size_t slot = hash & mask; more.childIndex[slot].position != 0; slot = (slot + 1) & mask) {
    const Slot entry = more.childIndex[slot];
    if (entry.hash != hash) continue;
    Key* child = more.children[entry.position - 1];
    if (SameName(child->name, name)) {
      more.nextChild = entry.position;
      return child;
    }
  }
  return nullptr;
}

void IndexValues(const Key& key, const ValueExtras& more) {
  more.index = IndexFor(key.valueCount);
  for (std::uint32_t i = 0; i < key.valueCount; ++i)
    if (!key.values[i].removed) Enter(more.index, {SlotHash(HashUpcased(key.values[i].name)), i + 1});
}

template <typename Same>
Value* FindValueBy(const Key& key, size_t size, std::uint32_t hash, Same same) {
  const ValueExtras* more = ValuesOf(key);
  if (key.valueCount < kIndexFrom || more == nullptr) {
    // Lengths first: most names differ in theirs.
    for (Value& v : key.Values())
      if (v.name.size() == size && !v.removed && same(v.name)) return &v;
    return nullptr;
  }
  if (more->index.empty()) IndexValues(key, *more);
  const size_t mask = more->index.size() - 1;
  for (size_t slot = hash & mask; more->index[slot].position != 0; slot = (slot + 1) & mask) {
    const Slot entry = more->index[slot];
    Value& v = key.values[entry.position - 1];
    if (entry.hash == hash && !v.removed && v.name.size() == size && same(v.name)) return &v;
  }
  return nullptr;
}

void ComputeValueMaxima(const Key& key, std::uint32_t& name, std::uint32_t& data) {
  name = data = 0;
  for (const Value& v : key.Values()) {
    if (v.removed) continue;
    name = std::max<std::uint32_t>(name, static_cast<std::uint32_t>(v.name.size()));
    data = std::max(data, v.size);
  }
}

void ValuesChanged(Key& key) {
  if (ValueExtras* more = ValuesOf(key)) more->maximaStale = true;
}

}  // namespace

size_t Key::SubkeyCount() const { return extras ? extras->children.size() - extras->deletedChildren : 0; }

size_t Key::ValueCount() const {
  const ValueExtras* more = ValuesOf(*this);
  return valueCount - (more ? more->removedValues : 0);
}

std::span<Key* const> Key::Children() const {
  if (!extras) return {};
  return extras->children;
}

std::uint32_t Key::Hash() const {
  if (hash == 0) hash = SlotHash(HashUpcased(name));
  return hash;
}

Key* Key::FindChild(std::u16string_view name) const { return FindChild(Name(name)); }

Key* Key::FindChild(const Name& name) const {
  Key* child = FindAnyChild(name, 0);
  return child != nullptr && !child->deleted ? child : nullptr;
}

Key* Key::FindAnyChild(const Name& name, std::uint64_t hash) const {
  if (!extras) return nullptr;
  if (extras->children.size() < kIndexFrom) return ScanChildren(*extras, name);
  if (Key* child = NextListed(*extras, name)) return child;
  return FindAmong(*extras, name, hash);
}

Value* Key::FindValue(std::u16string_view name) const {
  const std::uint32_t hash = valueCount < kIndexFrom ? 0 : SlotHash(HashUpcased(name));
  return FindValueBy(*this, name.size(), hash, [name](const Name& v) { return SameName(v, name); });
}

Value* Key::FindValue(const Name& name) const {
  const std::uint32_t hash = valueCount < kIndexFrom ? 0 : SlotHash(HashUpcased(name));
  return FindValueBy(*this, name.size(), hash, [&name](const Name& v) { return SameName(v, name); });
}

size_t Key::LongestChildName() const {
  if (!extras) return 0;
  KeyExtras& more = *extras;
  if (more.longestChildStale) {
    more.longestChild = 0;
    for (const Key* c : more.children)
      if (!c->deleted) more.longestChild = std::max<std::uint32_t>(more.longestChild, c->name.size());
    more.longestChildStale = false;
  }
  return more.longestChild;
}

size_t Key::LongestValueName() const {
  std::uint32_t name = 0, data = 0;
  const ValueExtras* more = ValuesOf(*this);
  if (valueCount < kIndexFrom || more == nullptr) {
    ComputeValueMaxima(*this, name, data);
    return name;
  }
  if (more->maximaStale) {
    ComputeValueMaxima(*this, more->longestName, more->longestData);
    more->maximaStale = false;
  }
  return more->longestName;
}

size_t Key::LongestData() const {
  std::uint32_t name = 0, data = 0;
  const ValueExtras* more = ValuesOf(*this);
  if (valueCount < kIndexFrom || more == nullptr) {
    ComputeValueMaxima(*this, name, data);
    return data;
  }
  LongestValueName();
  return more->longestData;
}

std::uint32_t Key::Denied() const { return extras ? extras->denied : 0; }

void KeyTree::Deny(Key& key, std::uint32_t rights) { ExtrasOf(key).denied = rights; }

KeyExtras& KeyTree::ExtrasOf(Key& key) {
  if (!key.extras) key.extras = &extras_.emplace_back();
  return *key.extras;
}

ValueExtras& KeyTree::ValueExtrasOf(Key& key) {
  KeyExtras& more = ExtrasOf(key);
  if (!more.values) more.values = std::make_unique<ValueExtras>();
  return *more.values;
}

KeyTree::KeyTree(bool large) : large_(large) {
  if (large) {
    keys_.GrowLarge();
    extras_.GrowLarge();
  }
  for (auto& root : roots_) root = NewKey(nullptr, Name(), 0);
  classes_ = Child(*Child(*roots_[kLocalMachine], u"SOFTWARE"), u"Classes");
}

KeyTree::~KeyTree() = default;

Key* KeyTree::Root(std::uint8_t root) const { return root == kClassesRoot ? classes_ : roots_[root]; }

Key* KeyTree::NewKey(Key* parent, const Name& name, std::uint32_t hash, bool after) {
  Key* key = &keys_.emplace_back();
  key->name = name;
  key->hash = hash;
  key->parent = parent;
  if (parent == nullptr) return key;
  KeyExtras& more = ExtrasOf(*parent);
  // Keys that come sorted stay so; the others are sorted once, when listed.
  if (more.childrenSorted && !after && !more.children.empty() && CompareUpcased(more.children.back()->name, name) > 0)
    more.childrenSorted = false;
  more.children.push_back(key);
  if (!more.childIndex.empty())
    EnterGrowing(more.childIndex, more.children.size(),
                 {key->Hash(), static_cast<std::uint32_t>(more.children.size())});
  if (!more.longestChildStale) more.longestChild = std::max<std::uint32_t>(more.longestChild, name.size());
  if (!IsAscii(name)) MarkNonAscii(key);
  changed = true;
  if (places) places->Place(*key);
  return key;
}

Key* KeyTree::Child(Key& parent, std::u16string_view name, bool* created) {
  const std::uint64_t hash = HashUpcased(name);
  if (Key* existing = parent.FindAnyChild(Name(name), hash)) {
    if (!existing->deleted) {
      if (created) *created = false;
      return existing;
    }
    // A deleted key of that name still holds its place.
    Compact(parent);
  }
  if (created) *created = true;
  return NewKey(&parent, Keep(name), SlotHash(hash));
}

Key* KeyTree::Child(Key& parent, const Name& name) {
  // Keys that come sorted are made without a lookup: a name after the
  // last of sorted children is none of them.
  const KeyExtras* more = parent.extras;
  if (more == nullptr || more->children.empty() ||
      (more->childrenSorted && CompareUpcased(more->children.back()->name, name) < 0))
    return NewKey(&parent, name, 0, true);
  // The hash is found once, for the lookup and the key made. A file's
  // sections come in no order of listing: the next key listed is not tried.
  const bool many = more->children.size() >= kIndexFrom;
  const std::uint64_t hash = many ? HashUpcased(name) : 0;
  if (Key* existing = many ? FindAmong(*more, name, hash) : ScanChildren(*more, name)) {
    if (!existing->deleted) return existing;
    Compact(parent);
  }
  return NewKey(&parent, name, SlotHash(hash));
}

const Value& KeyTree::ValueAt(Key& key, size_t index) {
  DropRemoved(key);
  return key.values[index];
}

void KeyTree::DropRemoved(Key& key) {
  ValueExtras* more = ValuesOf(key);
  if (more == nullptr || more->removedValues == 0) return;
  const auto kept = std::remove_if(key.values, key.values + key.valueCount, [](const Value& v) { return v.removed; });
  key.valueCount = static_cast<std::uint32_t>(kept - key.values);
  if (more->ownValues) {
    more->values.resize(key.valueCount);
    key.values = more->values.data();
  }
  more->removedValues = 0;
  more->index = {};
}

const Key& KeyTree::Subkey(Key& parent, size_t index) {
  Compact(parent);
  Sort(parent);
  AskAhead(parent.extras->children, index, kListingAhead);
  return *parent.extras->children[index];
}

void KeyTree::Sort(Key& parent) {
  KeyExtras& more = *parent.extras;
  if (more.childrenSorted) return;
  // The index goes first, before the sort takes its memory: sorted
  // children are searched.
  more.childIndex = {};
  more.nextChild = 0;
  // Sorted by their SortKeys, beside the keys: comparing the names
  // themselves would reach each time into a key and its name, which lie
  // wherever the file's order put them.
  struct Entry {
    std::uint64_t sortKey;
    Key* key;
  };
  LargeVector<Entry> entries;
  entries.reserve(more.children.size());
  for (size_t i = 0; i < more.children.size(); ++i) {
    AskAhead(more.children, i, kListingAhead);
    entries.push_back({SortKey(more.children[i]->name), more.children[i]});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.sortKey != b.sortKey) return a.sortKey < b.sortKey;
    return CompareUpcased(a.key->name, b.key->name) < 0;
  });
  for (size_t i = 0; i < entries.size(); ++i) more.children[i] = entries[i].key;
  more.childrenSorted = true;
}

void KeyTree::Compact(Key& parent) {
  if (!parent.extras || parent.extras->deletedChildren == 0) return;
  KeyExtras& more = *parent.extras;
  more.childIndex = {};
  more.nextChild = 0;
  std::erase_if(more.children, [](const Key* child) { return child->deleted; });
  more.deletedChildren = 0;
}

void KeyTree::Bury(Key& top) {
  // A list of its own, not the call stack: a key lies as deep as a file says.
  std::vector<Key*> buried{&top};
  while (!buried.empty()) {
    Key& key = *buried.back();
    buried.pop_back();
    if (key.section >= 0) buried_.push_back(&key);
    if (key.extras) {
      for (Key* child : key.extras->children)
        if (!child->deleted) buried.push_back(child);
      // Kept: the rights refused, which an open of the deleted key still meets.
      const std::uint32_t denied = key.extras->denied;
      *key.extras = KeyExtras();
      key.extras->denied = denied;
    }
    key.values = nullptr;
    key.valueCount = 0;
    key.deleted = true;
  }
}

void KeyTree::Remove(Key& key) {
  Bury(key);
  // The key keeps its place among its parent's children until they are
  // next listed: deleting many keys from a large one costs no moves.
  if (Key* parent = key.parent) {
    ++parent->extras->deletedChildren;
    parent->extras->longestChildStale = true;
  }
  changed = true;
}

void KeyTree::OwnValues(Key& key) {
  ValueExtras& more = ValueExtrasOf(key);
  if (more.ownValues) return;
  more.values.assign(key.values, key.values + key.valueCount);
  more.ownValues = true;
  key.values = more.values.data();
}

Value& KeyTree::AddValue(Key& key, const Value& value) {
  const bool own = ValuesOf(key) != nullptr && ValuesOf(key)->ownValues;
  Value* next =
      valueBlocks_.empty() || valuesUsed_ == valueBlocks_.back().size() ? nullptr : &valueBlocks_.back()[valuesUsed_];
  // A key's values stay a run of the list while they are made one after
  // another; a key's first value starts a new block when the last one is full.
  if (!own && key.valueCount == 0 && next == nullptr) {
    valueBlocks_.emplace_back(large_ ? kLastValueBlock
                                     : std::min(kFirstValueBlock << valueBlocks_.size(), kLastValueBlock));
    valuesUsed_ = 0;
    next = &valueBlocks_.back()[0];
  }
  Value* slot = nullptr;
  if (!own && next != nullptr && (key.valueCount == 0 || key.values + key.valueCount == next)) {
    if (key.valueCount == 0) key.values = next;
    *next = value;
    ++valuesUsed_;
    slot = next;
  } else {
    OwnValues(key);
    ValueExtras& more = *ValuesOf(key);
    more.values.push_back(value);
    key.values = more.values.data();
    slot = &more.values.back();
  }
  ++key.valueCount;
  // Many values are found by an index, which lives with the key's extras.
  if (key.valueCount >= kIndexFrom) ValueExtrasOf(key);
  if (ValueExtras* more = ValuesOf(key)) {
    if (!more->index.empty())
      EnterGrowing(more->index, key.valueCount, {SlotHash(HashUpcased(value.name)), key.valueCount});
    more->maximaStale = true;
  }
  if (!IsAscii(value.name)) MarkNonAscii(&key);
  return *slot;
}

void KeyTree::SetAgain(Key& key, Value& value, const Value& later) {
  value.type = later.type;
  value.data = later.data;
  value.size = later.size;
  value.form = later.form;
  value.ascii = later.ascii;
  value.plain = later.plain;
  ValuesChanged(key);
}

void KeyTree::Touch(Key& key) {
  if (touched_.empty() || touched_.back() != &key) touched_.push_back(&key);
}

void KeyTree::SetValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  Value set;
  set.type = type;
  set.data = Keep(data);
  set.size = static_cast<std::uint32_t>(data.size());
  if (Value* v = key.FindValue(name)) {
    set.name = v->name;
    set.entry = v->entry;
    *v = set;
    ValuesChanged(key);
  } else {
    set.name = Keep(name);
    if (key.section < 0 && places) places->Place(key);
    AddValue(key, set);
  }
  Touch(key);
  changed = true;
}

bool KeyTree::RemoveValue(Key& key, std::u16string_view name) {
  Value* v = key.FindValue(name);
  if (!v) return false;
  // The value keeps its place until the key's values are next enumerated
  // (KeyTree::ValueAt): removing many values from a large key costs no moves.
  if (v->entry != kNoEntry) removedEntries_.push_back(v->entry);
  v->removed = true;
  ValueExtras& more = ValueExtrasOf(key);
  ++more.removedValues;
  more.maximaStale = true;
  changed = true;
  return true;
}

void KeyTree::Hold(LargeArray<char16_t> bytes, size_t size) {
  bytes_ = std::move(bytes);
  file_.begin = reinterpret_cast<const char*>(bytes_.get());
  file_.end = file_.begin + size;
}

void KeyTree::SetEncoding(regfile::Encoding encoding, bool regedit4) {
  file_.encoding = encoding;
  file_.regedit4 = regedit4;
}

void* KeyTree::Store(size_t size) {
  constexpr size_t kBlock = 1 << 20;
  size = (size + 1) & ~size_t{1};  // text stays aligned for char16_t
  // Blocks are not cleared: every piece is written before it is read, and
  // clearing would touch each fresh page twice.
  if (size > kBlock / 16) {
    // Large pieces get a block of their own; the current one stays in use.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    return blocks_.back().get();
  }
  if (size > left_) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
    free_ = blocks_.back().get();
    left_ = kBlock;
  }
  void* piece = free_;
  free_ += size;
  left_ -= size;
  return piece;
}

Name KeyTree::Keep(std::u16string_view text) {
  if (text.empty()) return {};
  auto* copy = static_cast<char16_t*>(Store(text.size() * sizeof(char16_t)));
  std::copy(text.begin(), text.end(), copy);
  return {copy, text.size()};
}

const char* KeyTree::Keep(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return nullptr;
  auto* copy = static_cast<char*>(Store(bytes.size()));
  std::memcpy(copy, bytes.data(), bytes.size());
  return copy;
}

}  // namespace standin
