// Where the keys and values of the machine registry stand in its .reg file,
// which the key tree holds: what writing the file back byte for byte needs
// beside the tree. The file's lines after the first are entries: a [key]
// line, a value's lines, a "name"=- or a [-key] line, each with the comment
// and blank lines before it; an entry runs to where the next one begins,
// the last one to the text after it (the trailer).
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/standin/registry/Chunked.h"
#include "platform/standin/registry/KeyTree.h"
#include "regfile/RegFileLines.h"

namespace standin {

struct Section {
  // Written only while the key is not deleted; null for a line that
  // removes a key the file does not hold, which is always written.
  Key* key = nullptr;
  std::uint32_t entry = kNoEntry;  // its line; none for a section the run added
  std::uint8_t root = 0;           // index into the root table
  RootSpelling spelling = RootSpelling::kLong;
};

class FileLayout : public FilePlaces {
 public:
  // For a file of `size` bytes; for a large file, the lists take large
  // blocks from the first.
  FileLayout(KeyTree& tree, size_t size, bool large) : tree_(tree), wide_(size > UINT32_MAX) {
    if (!large) return;
    sections.GrowLarge();
    entries_.GrowLarge();
    wideEntries_.GrowLarge();
  }

  // An entry that begins at `start` (bytes from the file's start), after
  // the others.
  std::uint32_t AddEntry(size_t start);
  // A section at the end of the file, on an entry (none: the run's); the
  // key's first, or one more.
  std::int32_t AddSection(Key* key, std::uint8_t root, RootSpelling spelling, std::uint32_t entry);
  // Gives a key made, or given a value, after the file was read a section
  // of its own at the end of the file.
  void Place(Key& key) override;

  // Where an entry begins and where the next begins.
  size_t Start(std::uint32_t entry) const { return wide_ ? wideEntries_[entry] : entries_[entry]; }
  size_t End(std::uint32_t entry) const {
    return entry + 1 < Entries() ? Start(entry + 1) : static_cast<size_t>(shape.trailer);
  }
  size_t Entries() const { return wide_ ? wideEntries_.size() : entries_.size(); }

  regfile::RegFileShape shape;
  Chunked<Section> sections;
  std::uint32_t fileSections = 0;  // the sections the file holds; the run's follow
  // The sections after the first of a key the file names more than once.
  std::unordered_multimap<const Key*, std::int32_t> moreSections;
  // The later settings of a value the file sets more than once, by the
  // entry of the first.
  std::unordered_multimap<std::uint32_t, std::uint32_t> laterSettings;
  bool hadRemovals = false;  // the file held [-key] or "name"=- lines

 private:
  KeyTree& tree_;
  // Where each entry begins: in four bytes, unless the file is larger.
  bool wide_;
  Chunked<std::uint32_t> entries_;
  Chunked<std::uint64_t> wideEntries_;
};

// The layout of a tree read from a file.
FileLayout& LayoutOf(KeyTree& tree);
const FileLayout& LayoutOf(const KeyTree& tree);

}  // namespace standin
