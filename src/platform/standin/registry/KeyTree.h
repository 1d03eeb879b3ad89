// The stand-in's machine registry in memory: a tree of keys with their
// values, kept as the Windows NT registry keeps them (names in UTF-16 that
// compare case-insensitively and keep their case, subkeys sorted by their
// upper-cased names, values in the order they were written, string data in
// UTF-16LE). Where its keys and values stand in the file it was read from
// is the file's business (FilePlaces): the tree keeps only anchors to it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "regfile/RegRoots.h"

namespace standin {

// The predefined roots, as the file format numbers them.
using regfile::kClassesRoot;
using regfile::kCurrentConfig;
using regfile::kCurrentUser;
using regfile::kLocalMachine;
using regfile::kRootCount;
using regfile::kUsers;
using regfile::NameOfRoot;
using regfile::RootName;
using regfile::RootSpelling;

// Names and data are kept in their tree's store (KeyTree::Keep), which
// lives as long as the tree: a machine holds millions of them, and one
// allocation each would cost more than many of them hold.
class KeptText {
 public:
  KeptText() = default;
  KeptText(const char16_t* data, std::uint32_t size) : data_(data), size_(size) {}
  operator std::u16string_view() const { return {data_, size_}; }
  const char16_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const char16_t* begin() const { return data_; }
  const char16_t* end() const { return data_ + size_; }

 private:
  const char16_t* data_ = nullptr;
  std::uint32_t size_ = 0;
};

class KeptBytes {
 public:
  KeptBytes() = default;
  KeptBytes(const std::uint8_t* data, std::uint32_t size) : data_(data), size_(size) {}
  operator std::span<const std::uint8_t>() const { return {data_, size_}; }
  const std::uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  const std::uint8_t* begin() const { return data_; }
  const std::uint8_t* end() const { return data_ + size_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::uint32_t size_ = 0;
};

struct Value {
  KeptText name;
  KeptBytes data;
  std::uint32_t type = 0;
  // Anchors in the file the tree was read from, opaque to the tree: the
  // section the value was written in, and its text there (0: none, the
  // canonical form), which is let go when the value is set anew.
  std::int32_t section = -1;
  std::uint32_t text = 0;
  // A value the file sets more than once: the number its settings share
  // (KeyTree::SetAgain), else 0.
  std::uint32_t repeat = 0;
  bool removed = false;  // deleted, until its key's values are next enumerated
  // An earlier setting's place in the file, not the value: its lines only.
  bool hidden = false;
};

struct Key {
  KeptText name;
  // The hash of the upper-cased name (HashUpcased), computed once when the
  // key is made: lookups compare it before the names.
  std::uint64_t foldedHash = 0;
  Key* parent = nullptr;
  // In the order they were made until the parent's subkeys are next
  // enumerated (KeyTree::Subkey), which sorts them by their upper-cased
  // names: a file's keys come in any order, and inserting each in its
  // sorted place would cost a move of the others. Deleted keys stay in
  // place, marked, until then too.
  std::vector<std::unique_ptr<Key>> children;
  std::uint32_t deletedChildren = 0;
  bool childrenSorted = true;
  bool deleted = false;
  // In written order, removed ones among them for a while, and the places
  // of the later settings of a value the file sets more than once.
  std::vector<Value> values;
  std::uint32_t removedValues = 0;
  std::uint32_t hiddenValues = 0;
  std::uint32_t denied = 0;   // access rights refused on this key (tests)
  std::int32_t section = -1;  // an anchor in the file: its first section naming the key, -1 none

  size_t SubkeyCount() const { return children.size() - deletedChildren; }
  size_t ValueCount() const { return values.size() - removedValues - hiddenValues; }
  // The live child of that name, or null.
  Key* FindChild(std::u16string_view name) const;
  Value* FindValue(std::u16string_view name);
  size_t LongestChildName();
  size_t LongestValueName();
  size_t LongestData();

  // The child of that name, deleted or not, or null.
  Key* FindAnyChild(std::u16string_view name) const;
  // The same, given the hash of the name (HashUpcased), which a key made
  // when missing keeps.
  Key* FindAnyChild(std::u16string_view name, std::uint64_t hash) const;
  // A lookup index for keys with many children, sorted or not, by the hash
  // of their names (open addressing, at most three quarters full): each
  // entry holds a child's position in `children` plus one beside the lower
  // half of the child's hash, which a probe compares before it reaches
  // into a key (a key lies wherever the file's order put it, so that a name
  // not there is mostly told without touching any), and by which the index
  // grows without reading the keys again.
  // Mutable as a cache with no visible effect: built by the first lookup,
  // which a const key makes too, and dropped when the children move.
  struct ChildSlot {
    std::uint32_t hash = 0;
    std::uint32_t position = 0;  // plus one; 0: free
  };
  void IndexChildren() const;
  void IndexLastChild() const;
  mutable std::vector<ChildSlot> childIndex;
  // The position after the child last found by FindAnyChild, tried first,
  // and then the one before it: keys are mostly looked up one after
  // another in the order they are listed, some twice in a row. A key holds
  // one child of a name at most, so any child of the name is the one the
  // index finds.
  mutable std::uint32_t nextChild = 0;

  // A lookup index for keys with many values, kept in step with `values`.
  void IndexValues();
  std::unique_ptr<std::unordered_map<std::u16string, std::uint32_t>> valueIndex;
  // The longest names and data, found again when stale. A new key has no
  // children: the longest of their names is kept as they are made, and
  // found again only after a deletion.
  std::uint32_t cachedChildMax = 0;
  std::uint32_t cachedValueNameMax = 0;
  std::uint32_t cachedDataMax = 0;
  bool childMaxStale = false;
  bool valueMaxStale = true;
  // The file's writer's mark: the number of the last write that found a
  // section at or below the key.
  std::uint32_t coveredInWrite = 0;
};

// Where the keys and values of a tree stand in the file it was read from:
// kept by that file's reader and writer, and reached through the anchors of
// the keys and values.
class FilePlaces {
 public:
  virtual ~FilePlaces() = default;
  // Gives a key made, or given a value, after the file was read a place in
  // the file (its section anchor), so that it is written back.
  virtual void Place(Key& key) = 0;
};

class KeyTree {
 public:
  KeyTree();

  Key* Root(std::uint8_t root) const;
  // Returns the child, created when missing.
  Key* Child(Key& parent, std::u16string_view name, bool* created = nullptr);
  // Deletes a key and everything below it. Deleted keys stay in memory,
  // emptied and marked, so that handles and file sections that refer to
  // them see that they are gone.
  void Remove(Key& key);
  // The parent's subkey at an index of its enumeration order.
  const Key& Subkey(Key& parent, size_t index);
  // The key's value at an index of its enumeration order.
  const Value& ValueAt(Key& key, size_t index);

  // Sets a value; keeps its place when it exists, else appends it. A value
  // the file sets more than once loses its earlier settings' lines.
  void SetValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data);
  // Appends a value the key does not hold, and gives it.
  Value& AddValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data);
  // A file's later setting of a value it sets before for the same key, as
  // regedit merges it: the value keeps its place and takes the new type
  // and data, and the new setting gets a hidden entry at the end of the
  // key's values, with the same data, for its lines in the file. Gives
  // that entry.
  Value& SetAgain(Key& key, Value& value, std::uint32_t type, std::span<const std::uint8_t> data, std::int32_t section);
  // A line of the file among a key's values that sets none ("name"=-): a
  // hidden entry, for its text, that goes only with the key.
  Value& KeepLine(Key& key, std::int32_t section);
  // Whether the file's text for a value is to be written: a hidden entry is
  // not once its value was removed or set anew.
  bool Written(const Value& value) const { return !value.removed && !(value.hidden && droppedRepeats_[value.repeat]); }

  // A copy of text or bytes in the tree's store.
  KeptText Keep(std::u16string_view text);
  KeptBytes Keep(std::span<const std::uint8_t> bytes);
  bool RemoveValue(Key& key, std::u16string_view name);

  // The file the tree was read from; none while it is read.
  std::unique_ptr<FilePlaces> places;

  bool changed = false;  // since the last write

 private:
  // Marks a key and everything below it deleted.
  void Bury(Key& top);
  // Drops the deleted keys from a parent's children.
  void Compact(Key& parent);
  // Puts a parent's children in enumeration order.
  static void Sort(Key& parent);

  // By the number a value's settings share: whether its earlier settings'
  // lines are dropped (0 is no value's).
  std::vector<bool> droppedRepeats_ = {false};
  // Enumeration positions in `values` of the last key enumerated that
  // holds hidden entries.
  const Key* enumKey_ = nullptr;
  std::vector<std::uint32_t> enumOrder_;
  // Drops a value's earlier settings' lines.
  void DropRepeats(Value& value);

  std::unique_ptr<Key> roots_[kRootCount];
  Key* classes_ = nullptr;
  std::vector<std::unique_ptr<Key>> deleted_;
  // The store: blocks handed out front to back.
  void* Store(size_t size);
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  size_t left_ = 0;
};

}  // namespace standin
