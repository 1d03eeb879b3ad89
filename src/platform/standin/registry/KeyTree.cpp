#include "platform/standin/registry/KeyTree.h"

#include <algorithm>
#include <bit>

#include "platform/standin/registry/Upcase.h"

namespace standin {
namespace {

constexpr size_t kIndexFrom = 16;  // values or children; below this a scan is faster

Key* ScanChildren(const Key& key, std::u16string_view name) {
  for (const auto& child : key.children)
    if (child->name.size() == name.size() && SameName(child->name, name)) return child.get();
  return nullptr;
}

// The child after the last one found (after the last child, the first: a
// new listing begins), then that one again, or null.
Key* NextListed(const Key& key, std::u16string_view name) {
  const auto& children = key.children;
  const std::uint32_t next = key.nextChild < children.size() ? key.nextChild : 0;
  for (const std::uint32_t at : {next, key.nextChild - 1}) {
    if (at >= children.size()) continue;
    if (Key* child = children[at].get(); child->name.size() == name.size() && SameName(child->name, name)) {
      key.nextChild = at + 1;
      return child;
    }
  }
  return nullptr;
}

// The bits of a name's hash an index entry keeps, from which it takes its slot.
std::uint32_t SlotHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash); }

void Enter(std::vector<Key::ChildSlot>& index, Key::ChildSlot entry) {
  const size_t mask = index.size() - 1;
  size_t slot = entry.hash & mask;
  while (index[slot].position != 0) slot = (slot + 1) & mask;
  index[slot] = entry;
}

// The child of that name by the index, or null.
Key* FindIndexed(const Key& key, std::u16string_view name, std::uint64_t hash) {
  if (key.childIndex.empty()) key.IndexChildren();
  const size_t mask = key.childIndex.size() - 1;
  const std::uint32_t wanted = SlotHash(hash);
  for (size_t slot = wanted & mask; key.childIndex[slot].position != 0; slot = (slot + 1) & mask) {
    const Key::ChildSlot entry = key.childIndex[slot];
    if (entry.hash != wanted) continue;
    Key* child = key.children[entry.position - 1].get();
    if (child->foldedHash == hash && SameName(child->name, name)) {
      key.nextChild = entry.position;
      return child;
    }
  }
  return nullptr;
}

}  // namespace

Key* Key::FindChild(std::u16string_view name) const {
  Key* child = FindAnyChild(name);
  return child != nullptr && !child->deleted ? child : nullptr;
}

Key* Key::FindAnyChild(std::u16string_view name) const {
  // By hash rather than by binary search among sorted children: one probe
  // mostly, where a search would reach into a key at each of its steps.
  if (children.size() < kIndexFrom) return ScanChildren(*this, name);
  if (Key* child = NextListed(*this, name)) return child;
  return FindIndexed(*this, name, HashUpcased(name));
}

Key* Key::FindAnyChild(std::u16string_view name, std::uint64_t hash) const {
  if (children.size() < kIndexFrom) return ScanChildren(*this, name);
  if (Key* child = NextListed(*this, name)) return child;
  return FindIndexed(*this, name, hash);
}

void Key::IndexChildren() const {
  // The smallest that is at most three quarters full: entries take twice
  // the memory of positions alone.
  childIndex.assign(std::max<size_t>(64, std::bit_ceil(4 * children.size() / 3 + 1)), {});
  for (std::uint32_t i = 0; i < children.size(); ++i) Enter(childIndex, {SlotHash(children[i]->foldedHash), i + 1});
}

void Key::IndexLastChild() const {
  if (4 * children.size() > 3 * childIndex.size()) {
    std::vector<ChildSlot> grown(2 * childIndex.size());
    for (const ChildSlot& entry : childIndex)
      if (entry.position != 0) Enter(grown, entry);
    childIndex = std::move(grown);
  }
  Enter(childIndex, {SlotHash(children.back()->foldedHash), static_cast<std::uint32_t>(children.size())});
}

void Key::IndexValues() {
  valueIndex = std::make_unique<std::unordered_map<std::u16string, std::uint32_t>>();
  valueIndex->reserve(values.size());
  for (std::uint32_t i = 0; i < values.size(); ++i)
    if (!values[i].removed && !values[i].hidden) valueIndex->emplace(Upcase(values[i].name), i);
}

Value* Key::FindValue(std::u16string_view name) {
  if (values.size() < kIndexFrom) {
    // Lengths first: most names differ in theirs.
    for (Value& v : values)
      if (v.name.size() == name.size() && !v.removed && !v.hidden && SameName(v.name, name)) return &v;
    return nullptr;
  }
  if (!valueIndex) IndexValues();
  auto it = valueIndex->find(Upcase(name));
  return it == valueIndex->end() ? nullptr : &values[it->second];
}

size_t Key::LongestChildName() {
  if (childMaxStale) {
    cachedChildMax = 0;
    for (const auto& c : children)
      if (!c->deleted) cachedChildMax = std::max<std::uint32_t>(cachedChildMax, c->name.size());
    childMaxStale = false;
  }
  return cachedChildMax;
}

size_t Key::LongestValueName() {
  if (valueMaxStale) {
    cachedValueNameMax = cachedDataMax = 0;
    for (const Value& v : values) {
      if (v.removed || v.hidden) continue;
      cachedValueNameMax = std::max<std::uint32_t>(cachedValueNameMax, v.name.size());
      cachedDataMax = std::max<std::uint32_t>(cachedDataMax, v.data.size());
    }
    valueMaxStale = false;
  }
  return cachedValueNameMax;
}

size_t Key::LongestData() {
  LongestValueName();
  return cachedDataMax;
}

KeyTree::KeyTree() {
  for (auto& root : roots_) root = std::make_unique<Key>();
  classes_ = Child(*Child(*roots_[kLocalMachine], u"SOFTWARE"), u"Classes");
}

Key* KeyTree::Root(std::uint8_t root) const { return root == kClassesRoot ? classes_ : roots_[root].get(); }

Key* KeyTree::Child(Key& parent, std::u16string_view name, bool* created) {
  const std::uint64_t hash = HashUpcased(name);
  if (Key* existing = parent.FindAnyChild(name, hash)) {
    if (!existing->deleted) {
      if (created) *created = false;
      return existing;
    }
    // A deleted key of that name still holds its place.
    Compact(parent);
  }
  auto key = std::make_unique<Key>();
  key->name = Keep(name);
  key->foldedHash = hash;
  key->parent = &parent;
  Key* raw = key.get();
  // Keys that come sorted stay so; the others are sorted once, when listed.
  if (parent.childrenSorted && !parent.children.empty() && CompareUpcased(parent.children.back()->name, name) > 0)
    parent.childrenSorted = false;
  parent.children.push_back(std::move(key));
  if (!parent.childIndex.empty()) parent.IndexLastChild();
  if (!parent.childMaxStale) parent.cachedChildMax = std::max<std::uint32_t>(parent.cachedChildMax, name.size());
  if (created) *created = true;
  changed = true;
  if (places) places->Place(*raw);
  return raw;
}

const Value& KeyTree::ValueAt(Key& key, size_t index) {
  if (key.removedValues != 0) {
    std::erase_if(key.values, [this](const Value& v) { return !Written(v); });
    key.removedValues = 0;
    key.hiddenValues = static_cast<std::uint32_t>(
        std::count_if(key.values.begin(), key.values.end(), [](const Value& v) { return v.hidden; }));
    key.valueIndex.reset();
    enumKey_ = nullptr;
  }
  if (key.hiddenValues == 0) return key.values[index];
  // Hidden entries are skipped through a list of the others, made once
  // for each key enumerated.
  if (enumKey_ != &key) {
    enumOrder_.clear();
    for (std::uint32_t i = 0; i < key.values.size(); ++i)
      if (!key.values[i].hidden) enumOrder_.push_back(i);
    enumKey_ = &key;
  }
  return key.values[enumOrder_[index]];
}

const Key& KeyTree::Subkey(Key& parent, size_t index) {
  Compact(parent);
  Sort(parent);
  return *parent.children[index];
}

void KeyTree::Sort(Key& parent) {
  if (parent.childrenSorted) return;
  // Sorted by the names' first units, copied beside the keys: comparing the
  // names themselves would reach each time into a key and its name, which
  // lie wherever the file's order put them.
  struct Entry {
    std::array<std::uint64_t, 2> prefix;
    Key* key;
  };
  std::vector<Entry> entries;
  entries.reserve(parent.children.size());
  for (auto& child : parent.children) entries.push_back({UpcasedPrefix(child->name), child.release()});
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return CompareUpcased(a.key->name, b.key->name) < 0;
  });
  for (size_t i = 0; i < entries.size(); ++i) parent.children[i].reset(entries[i].key);
  parent.childrenSorted = true;
  // Made again, for the new positions, by the next lookup that needs it;
  // the next lookup is mostly of the first child listed.
  parent.childIndex.clear();
  parent.nextChild = 0;
}

void KeyTree::Compact(Key& parent) {
  if (parent.deletedChildren == 0) return;
  parent.childIndex.clear();
  parent.nextChild = 0;
  auto live = parent.children.begin();
  for (auto& child : parent.children) {
    if (child->deleted)
      deleted_.push_back(std::move(child));
    else
      *live++ = std::move(child);
  }
  parent.children.erase(live, parent.children.end());
  parent.deletedChildren = 0;
}

void KeyTree::Bury(Key& top) {
  // A list of its own, not the call stack: a key lies as deep as a file says.
  std::vector<Key*> buried{&top};
  while (!buried.empty()) {
    Key& key = *buried.back();
    buried.pop_back();
    for (auto& child : key.children) {
      if (!child->deleted) buried.push_back(child.get());
      deleted_.push_back(std::move(child));
    }
    key.children.clear();
    key.children.shrink_to_fit();
    key.childIndex.clear();
    key.childIndex.shrink_to_fit();
    key.childrenSorted = true;
    key.deletedChildren = 0;
    key.values.clear();
    key.values.shrink_to_fit();
    key.removedValues = 0;
    key.hiddenValues = 0;
    key.valueIndex.reset();
    key.deleted = true;
    if (enumKey_ == &key) enumKey_ = nullptr;
  }
}

void KeyTree::Remove(Key& key) {
  Bury(key);
  // The key keeps its place among its parent's children until they are
  // next enumerated: deleting many keys from a large one costs no moves.
  if (Key* parent = key.parent) {
    ++parent->deletedChildren;
    parent->childMaxStale = true;
  }
  changed = true;
}

void KeyTree::SetValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  if (Value* v = key.FindValue(name)) {
    v->type = type;
    v->data = Keep(data);
    v->text = 0;
    DropRepeats(*v);
    key.valueMaxStale = true;
    changed = true;
  } else {
    AddValue(key, name, type, data);
  }
}

Value& KeyTree::AddValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data) {
  Value fresh;
  fresh.name = Keep(name);
  fresh.type = type;
  fresh.data = Keep(data);
  if (key.section < 0 && places) places->Place(key);
  fresh.section = key.section;
  if (key.valueIndex) key.valueIndex->emplace(Upcase(name), static_cast<std::uint32_t>(key.values.size()));
  key.values.push_back(fresh);
  if (enumKey_ == &key) enumKey_ = nullptr;
  key.valueMaxStale = true;
  changed = true;
  return key.values.back();
}

Value& KeyTree::SetAgain(Key& key, Value& value, std::uint32_t type, std::span<const std::uint8_t> data,
                         std::int32_t section) {
  if (value.repeat == 0) {
    value.repeat = static_cast<std::uint32_t>(droppedRepeats_.size());
    droppedRepeats_.push_back(false);
  }
  value.type = type;
  value.data = Keep(data);
  Value entry;
  entry.name = value.name;
  entry.type = type;
  entry.data = value.data;
  entry.repeat = value.repeat;
  entry.section = section;
  entry.hidden = true;
  key.values.push_back(entry);
  ++key.hiddenValues;
  key.valueMaxStale = true;
  if (enumKey_ == &key) enumKey_ = nullptr;
  changed = true;
  return key.values.back();
}

Value& KeyTree::KeepLine(Key& key, std::int32_t section) {
  Value entry;
  entry.section = section;
  entry.hidden = true;
  key.values.push_back(entry);
  ++key.hiddenValues;
  if (enumKey_ == &key) enumKey_ = nullptr;
  return key.values.back();
}

void KeyTree::DropRepeats(Value& value) {
  if (value.repeat == 0) return;
  droppedRepeats_[value.repeat] = true;
  value.repeat = 0;
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

KeptText KeyTree::Keep(std::u16string_view text) {
  if (text.empty()) return {};
  auto* copy = static_cast<char16_t*>(Store(text.size() * sizeof(char16_t)));
  std::copy(text.begin(), text.end(), copy);
  return {copy, static_cast<std::uint32_t>(text.size())};
}

KeptBytes KeyTree::Keep(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  auto* copy = static_cast<std::uint8_t*>(Store(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), copy);
  return {copy, static_cast<std::uint32_t>(bytes.size())};
}

bool KeyTree::RemoveValue(Key& key, std::u16string_view name) {
  Value* v = key.FindValue(name);
  if (!v) return false;
  // The value keeps its place until the key's values are next enumerated
  // (KeyTree::ValueAt): removing many values from a large key costs no moves.
  if (key.valueIndex) key.valueIndex->erase(Upcase(v->name));
  v->removed = true;
  v->data = {};
  v->text = 0;
  DropRepeats(*v);
  ++key.removedValues;
  key.valueMaxStale = true;
  changed = true;
  return true;
}

}  // namespace standin
