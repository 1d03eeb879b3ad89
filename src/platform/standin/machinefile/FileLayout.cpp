#include "platform/standin/machinefile/FileLayout.h"

namespace standin {

std::int32_t FileLayout::AddSection(Key& key, std::uint8_t root, RootSpelling spelling) {
  const auto index = static_cast<std::int32_t>(sections.size());
  Section s;
  s.key = &key;
  s.root = root;
  s.spelling = spelling;
  sections.push_back(std::move(s));
  if (key.section < 0) key.section = index;
  return index;
}

void FileLayout::Place(Key& key) {
  if (key.section >= 0) return;
  const Key* top = &key;
  while (top->parent != nullptr) top = top->parent;
  std::uint8_t root = kLocalMachine;
  for (std::uint8_t r = 0; r < kRootCount; ++r)
    if (r != kClassesRoot && tree_.Root(r) == top) root = r;
  AddSection(key, root, RootSpelling::kLong);
}

FileText* FileLayout::TextOf(const Value& value) const {
  return value.text == 0 ? nullptr : valueTexts_[value.text - 1].get();
}

FileText& FileLayout::NewText(Value& value) {
  valueTexts_.push_back(std::make_unique<FileText>());
  value.text = static_cast<std::uint32_t>(valueTexts_.size());
  return *valueTexts_.back();
}

FileLayout& LayoutOf(KeyTree& tree) { return dynamic_cast<FileLayout&>(*tree.places); }

const FileLayout& LayoutOf(const KeyTree& tree) { return dynamic_cast<const FileLayout&>(*tree.places); }

}  // namespace standin
