// The stand-in's machine registry in memory: a tree of keys with their
// values, kept as the Windows NT registry keeps them (names that compare
// case-insensitively and keep their case, subkeys listed sorted by their
// upper-cased names, values in the order they were written, string data in
// UTF-16LE). The tree is an index into the bytes of the file it was read
// from, which it holds: a name or data lies there as the file writes it,
// and is decoded when handed out (ValueData.h). What a run adds or changes
// lies beside, in the tree's own store. Where the file's lines stand is the
// file's business (FilePlaces): a key and a value keep only their place
// among them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LargeMemory.h"
#include "platform/standin/registry/Chunked.h"
#include "platform/standin/registry/Name.h"
#include "regfile/RegFileText.h"
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

// Where a value's data lies, and how it is written there.
enum class DataForm : std::uint8_t {
  kStored,  // bytes the run set, in the tree's store, as the registry holds them
  kQuoted,  // the file's "text", from just after its opening quote
  kDword,   // the file's dword digits
  kHex,     // the file's hex bytes, from just after "hex...:"
};

// No place in the file: a value the run added.
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

struct Value {
  Name name;
  const char* data = nullptr;
  std::uint32_t type = 0;
  std::uint32_t size = 0;  // the data's bytes as the registry holds them
  // An anchor in the file the tree was read from, opaque to the tree: the
  // line of the value's (first) setting.
  std::uint32_t entry = kNoEntry;
  DataForm form = DataForm::kStored;
  bool ascii = false;    // data whose whole UTF-16 units are ASCII, for a type of text
  bool plain = false;    // the file's quoted string holds no escape: it is its data's own text
  bool removed = false;  // deleted, until its key's values are next enumerated
};

struct KeyExtras;

struct Key {
  Name name;
  Key* parent = nullptr;
  // The values in written order, removed ones among them for a while: a
  // run of the tree's list of values, or the key's own (KeyExtras).
  Value* values = nullptr;
  std::uint32_t valueCount = 0;
  // The lower half of HashUpcased(name), found when a lookup first needs
  // it (0 until then): lookups compare it before the names.
  mutable std::uint32_t hash = 0;
  std::int32_t section = -1;  // an anchor in the file: its first section naming the key, -1 none
  bool deleted = false;
  // Its name, one of its values' names or a name below it holds a unit
  // beyond ASCII; never cleared.
  bool nonAscii = false;
  KeyExtras* extras = nullptr;  // kept by the tree

  size_t SubkeyCount() const;
  size_t ValueCount() const;
  // In the order they were made until listed (KeyTree::Subkey), deleted
  // ones among them.
  std::span<Key* const> Children() const;
  std::span<Value> Values() const { return {values, valueCount}; }
  // The live child of that name, or null.
  Key* FindChild(std::u16string_view name) const;
  Key* FindChild(const Name& name) const;
  // The child of that name, deleted or not, or null.
  Key* FindAnyChild(const Name& name, std::uint64_t hash) const;
  Value* FindValue(std::u16string_view name) const;
  Value* FindValue(const Name& name) const;
  size_t LongestChildName() const;
  size_t LongestValueName() const;
  size_t LongestData() const;
  // Access rights refused on this key (tests; KeyTree::Deny).
  std::uint32_t Denied() const;
  std::uint32_t Hash() const;
};

// An entry of a lookup index (open addressing, at most three quarters
// full): the lower half of a name's hash beside its position plus one (0: a
// free slot), compared before a probe reaches into a key or a value, which
// lie wherever the file's order put them.
struct IndexSlot {
  std::uint32_t hash = 0;
  std::uint32_t position = 0;
};

// What a key with many values, or with values of its own, keeps beside them.
struct ValueExtras {
  // The key's values, once they cannot grow in the tree's list.
  LargeVector<Value> values;
  bool ownValues = false;
  std::uint32_t removedValues = 0;
  // For many values: a lookup index kept in step with them, and their maxima.
  mutable LargeVector<IndexSlot> index;
  mutable std::uint32_t longestName = 0;
  mutable std::uint32_t longestData = 0;
  mutable bool maximaStale = true;
};

// What only some keys need: subkeys and the lookups among them, what many
// values need, refused rights.
struct KeyExtras {
  // In the order they were made until the subkeys are next listed
  // (KeyTree::Subkey), which sorts them by their upper-cased names: a
  // file's keys come in any order, and inserting each in its sorted place
  // would cost a move of the others. Deleted keys stay in place, marked,
  // until then too.
  LargeVector<Key*> children;
  std::uint32_t deletedChildren = 0;
  bool childrenSorted = true;
  bool longestChildStale = false;
  // The longest of their names, kept as they are made, found again after a deletion.
  std::uint32_t longestChild = 0;
  // For many children, built by the first lookup that needs it (a const
  // key's too: a cache with no visible effect) and dropped when they move.
  mutable LargeVector<IndexSlot> childIndex;
  // The position after the child last found, tried first, and then the
  // one before it: keys are mostly looked up one after another in the
  // order they are listed, some twice in a row.
  mutable std::uint32_t nextChild = 0;
  std::uint32_t denied = 0;
  std::unique_ptr<ValueExtras> values;
};

// Gives a key made, or given a value, after the file was read a place in
// the file (its section anchor), so that it is written back.
class FilePlaces {
 public:
  virtual ~FilePlaces() = default;
  virtual void Place(Key& key) = 0;
};

class KeyTree {
 public:
  // `large`: a tree to be read from a large file, whose lists take large
  // blocks from the first (Chunked.h).
  explicit KeyTree(bool large = false);
  ~KeyTree();
  KeyTree(const KeyTree&) = delete;
  KeyTree& operator=(const KeyTree&) = delete;

  Key* Root(std::uint8_t root) const;
  // Returns the child, created when missing with its name copied into the
  // tree's store.
  Key* Child(Key& parent, std::u16string_view name, bool* created = nullptr);
  // The same for a name that lies in the held bytes or the store: the
  // reader's.
  Key* Child(Key& parent, const Name& name);
  // Deletes a key and everything below it. Deleted keys stay in memory,
  // emptied and marked, so that handles and file sections that refer to
  // them see that they are gone.
  void Remove(Key& key);
  // The parent's subkey at an index of its enumeration order.
  const Key& Subkey(Key& parent, size_t index);
  // The key's value at an index of its enumeration order.
  const Value& ValueAt(Key& key, size_t index);

  // Sets a value to bytes as the registry holds them: in its place when it
  // exists, which loses every setting's lines in the file, else appended.
  void SetValue(Key& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data);
  bool RemoveValue(Key& key, std::u16string_view name);

  // The reader's: appends a value the key lacks, and gives it.
  Value& AddValue(Key& key, const Value& value);
  // The reader's: a later setting of a value the file set before, as
  // regedit merges it: the value keeps its place and name, and takes the
  // later type and data.
  void SetAgain(Key& key, Value& value, const Value& later);

  // The file's bytes, which the tree holds from here on: names and data
  // of its keys and values lie there, in the file's encoding.
  void Hold(LargeArray<char16_t> bytes, size_t size);
  void SetEncoding(regfile::Encoding encoding, bool regedit4);
  const regfile::FileBytes& File() const { return file_; }
  // A copy of text or bytes in the tree's store.
  Name Keep(std::u16string_view text);
  const char* Keep(std::span<const std::uint8_t> bytes);

  // Refuses access rights on a key (tests).
  void Deny(Key& key, std::uint32_t rights);

  // What the run changed of what the file holds, for the file's writer:
  // keys deleted (those named by a section), the places of values removed,
  // and keys the run set values of.
  const std::vector<Key*>& Buried() const { return buried_; }
  const std::vector<std::uint32_t>& RemovedEntries() const { return removedEntries_; }
  const std::vector<Key*>& Touched() const { return touched_; }

  // The file the tree was read from; none while it is read.
  std::unique_ptr<FilePlaces> places;

  bool changed = false;  // since the last write

 private:
  // Makes a key; `after`: its name is known to order after the parent's
  // last child.
  Key* NewKey(Key* parent, const Name& name, std::uint32_t hash, bool after = false);
  // Marks a key and everything below it deleted.
  void Bury(Key& top);
  // Drops the deleted keys from a parent's children.
  static void Compact(Key& parent);
  // Puts a parent's children in enumeration order.
  static void Sort(Key& parent);
  // Drops a key's removed values.
  static void DropRemoved(Key& key);
  // The key's values become its own, where they cannot grow in place.
  void OwnValues(Key& key);
  KeyExtras& ExtrasOf(Key& key);
  ValueExtras& ValueExtrasOf(Key& key);
  void Touch(Key& key);

  Key* roots_[kRootCount] = {};
  Key* classes_ = nullptr;
  // Keys and values in blocks that never move: handles and keys point at
  // them. Value blocks grow as list blocks do (Chunked.h).
  Chunked<Key> keys_;
  Chunked<KeyExtras> extras_;
  std::vector<LargeArray<Value>> valueBlocks_;
  size_t valuesUsed_ = 0;  // in the last block
  bool large_;
  // The file's bytes, and the store: blocks handed out front to back.
  LargeArray<char16_t> bytes_;
  regfile::FileBytes file_;
  void* Store(size_t size);
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  size_t left_ = 0;
  std::vector<Key*> buried_;
  std::vector<std::uint32_t> removedEntries_;
  std::vector<Key*> touched_;
};

}  // namespace standin
