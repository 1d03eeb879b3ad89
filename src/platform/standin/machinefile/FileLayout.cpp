#include "platform/standin/machinefile/FileLayout.h"

namespace standin {

std::uint32_t FileLayout::AddEntry(size_t start) {
  if (wide_)
    wideEntries_.push_back(start);
  else
    entries_.push_back(static_cast<std::uint32_t>(start));
  return static_cast<std::uint32_t>(Entries() - 1);
}

std::int32_t FileLayout::AddSection(Key* key, std::uint8_t root, RootSpelling spelling, std::uint32_t entry) {
  const auto index = static_cast<std::int32_t>(sections.size());
  sections.push_back({key, entry, root, spelling});
  if (key != nullptr && key->section < 0)
    key->section = index;
  else if (key != nullptr)
    moreSections.emplace(key, index);
  return index;
}

void FileLayout::Place(Key& key) {
  if (key.section >= 0) return;
  const Key* top = &key;
  while (top->parent != nullptr) top = top->parent;
  std::uint8_t root = kLocalMachine;
  for (std::uint8_t r = 0; r < kRootCount; ++r)
    if (r != kClassesRoot && tree_.Root(r) == top) root = r;
  AddSection(&key, root, RootSpelling::kLong, kNoEntry);
}

FileLayout& LayoutOf(KeyTree& tree) { return dynamic_cast<FileLayout&>(*tree.places); }

const FileLayout& LayoutOf(const KeyTree& tree) { return dynamic_cast<const FileLayout&>(*tree.places); }

}  // namespace standin
