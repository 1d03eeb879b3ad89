// Loading a .reg file into the key tree: the reader's report of the file
// becomes keys and values, and the text the canonical form would not give
// back is kept beside them.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/Upcase.h"
#include "regfile/Utf16le.h"

namespace standin {
namespace {

class Loader : public regfile::RegFileEvents {
 public:
  Loader(KeyTree& tree, FileLayout& layout) : tree_(tree), layout_(layout) {}

  bool SameName(std::u16string_view a, std::u16string_view b) const override { return standin::SameName(a, b); }

  void Signature(std::u16string_view line, std::u16string_view newline, bool regedit4) override {
    layout_.regedit4 = regedit4;
    layout_.signature = std::u16string(line);
    layout_.newline = std::u16string(newline);
  }

  void Section(size_t, const regfile::KeyPath& path, std::u16string_view text, std::u16string_view leading) override {
    Key* key = KeyOf(path);
    current_ = layout_.AddSection(*key, path.root, path.spelling);
    const bool canonical = IsSectionHeader(text, tree_, *key, path.root, path.spelling, layout_.newline);
    pending_ += leading;
    if (pending_ != layout_.newline || !canonical) {
      auto& kept = layout_.sections[current_].text;
      kept = std::make_unique<FileText>();
      kept->leading = std::move(pending_);
      if (!canonical) kept->raw = std::u16string(text);
    }
    pending_.clear();
  }

  bool KeyRemoval(size_t, const regfile::KeyPath& path, std::u16string_view text,
                  std::u16string_view leading) override {
    const Key* key = tree_.Root(path.root);
    regfile::ForEachName(path.below, [&key](std::u16string_view name) {
      if (key != nullptr) key = key->FindChild(name);
    });
    if (key != nullptr && HasSection(*key)) return false;
    layout_.hadRemovals = true;
    // A section of the file with no key of the tree: the line, and the
    // comments before it, stay wherever the file is written back.
    standin::Section line;
    line.text = std::make_unique<FileText>();
    pending_ += leading;
    line.text->leading = std::move(pending_);
    line.text->raw = std::u16string(text);
    layout_.sections.push_back(std::move(line));
    pending_.clear();
    current_ = -1;
    return true;
  }

  void Value(size_t, const regfile::ValueLines& lines, std::u16string_view leading) override {
    Key& key = *layout_.sections[current_].key;
    pending_ += leading;
    if (standin::Value* earlier = key.FindValue(lines.name)) {
      SetAgain(key, *earlier, lines);
      return;
    }
    standin::Value& value = tree_.AddValue(key, lines.name, lines.type, lines.data);
    value.section = current_;
    KeepText(value, lines.text, lines.canonical);
  }

  bool ValueRemoval(size_t, std::u16string_view name, std::u16string_view text, std::u16string_view leading) override {
    Key& key = *layout_.sections[current_].key;
    if (key.FindValue(name) != nullptr) return false;
    layout_.hadRemovals = true;
    // The line stays among the key's values, and goes only with its key.
    pending_ += leading;
    KeepText(tree_.KeepLine(key, current_), text, false);
    return true;
  }

  void End(std::u16string_view trailer, regfile::Encoding encoding) override {
    pending_ += trailer;
    layout_.trailer = std::move(pending_);
    layout_.encoding = encoding;
  }

 private:
  // The key a section names, made when missing. Sections in a row mostly
  // share the names near the root: the keys of the names the last section
  // spelled the same way are taken again rather than looked up.
  Key* KeyOf(const regfile::KeyPath& path) {
    Key* key = tree_.Root(path.root);
    size_t kept = 0;
    if (path.root == lastRoot_) {
      const size_t common = regfile::CommonLength(path.below, lastBelow_);
      while (kept < lastEnds_.size() && lastEnds_[kept] <= common &&
             (lastEnds_[kept] == path.below.size() || path.below[lastEnds_[kept]] == u'\\'))
        ++kept;
    }
    lastKeys_.resize(kept);
    lastEnds_.resize(kept);
    size_t at = kept == 0 ? 0 : lastEnds_.back();
    if (kept != 0) key = lastKeys_.back();
    // The names after those, as regfile::ForEachName splits them.
    while (at < path.below.size()) {
      const size_t next = std::min(path.below.find(u'\\', at), path.below.size());
      if (next != at) {
        key = tree_.Child(*key, path.below.substr(at, next - at));
        lastKeys_.push_back(key);
        lastEnds_.push_back(next);
      }
      at = next + 1;
    }
    lastRoot_ = path.root;
    lastBelow_.assign(path.below);
    return key;
  }

  // Whether a section of the file names the key or a key below it.
  static bool HasSection(const Key& top) {
    std::vector<const Key*> below{&top};
    while (!below.empty()) {
      const Key& key = *below.back();
      below.pop_back();
      if (key.section >= 0) return true;
      for (const auto& child : key.children)
        if (!child->deleted) below.push_back(child.get());
    }
    return false;
  }

  // A value the file set before for the same key, set again as regedit
  // merges it. Every setting keeps its lines as written: the value's own
  // entry now holds the last setting's data, so it keeps the first
  // setting's to write its lines from.
  void SetAgain(Key& key, standin::Value& earlier, const regfile::ValueLines& lines) {
    FileText* kept = layout_.TextOf(earlier);
    FileText& first = kept != nullptr ? *kept : layout_.NewText(earlier);
    if (first.raw.empty() && !first.keepsFirst) {
      first.keepsFirst = true;
      first.firstType = earlier.type;
      first.firstData = earlier.data.data();
      first.firstSize = static_cast<std::uint32_t>(earlier.data.size());
    }
    // The canonical form of the later setting is written with the name as
    // the first setting spelled it.
    const bool canonical = lines.canonical && std::u16string_view(earlier.name) == lines.name;
    KeepText(tree_.SetAgain(key, earlier, lines.type, lines.data, current_), lines.text, canonical);
  }

  // Gives a value read the comment lines before it and its own lines when
  // the canonical form would write them otherwise.
  void KeepText(standin::Value& value, std::u16string_view text, bool canonical) {
    if (!pending_.empty() || !canonical) {
      FileText& kept = layout_.NewText(value);
      kept.leading = std::move(pending_);
      if (!canonical) kept.raw = std::u16string(text);
    }
    pending_.clear();
  }

  KeyTree& tree_;
  FileLayout& layout_;
  std::u16string pending_;  // comment and blank lines not yet given to a key or value
  std::int32_t current_ = -1;
  // The last section's path, and the key of each name in it with where
  // the name ends in the path.
  std::uint8_t lastRoot_ = regfile::kRootCount;
  std::u16string lastBelow_;
  std::vector<Key*> lastKeys_;
  std::vector<size_t> lastEnds_;
};

}  // namespace

std::unique_ptr<KeyTree> ReadKeyTree(const RegFileSource& read) {
  auto tree = std::make_unique<KeyTree>();
  auto layout = std::make_unique<FileLayout>(*tree);
  Loader loader(*tree, *layout);
  regfile::ReadRegFile(read, loader);
  // From here on, keys made or written get a place in the file.
  tree->places = std::move(layout);
  tree->changed = false;
  return tree;
}

std::unique_ptr<KeyTree> ReadKeyTree(std::string_view bytes) {
  return ReadKeyTree([&bytes](char* buffer, size_t size) {
    const size_t n = std::min(size, bytes.size());
    std::copy_n(bytes.data(), n, buffer);
    bytes.remove_prefix(n);
    return n;
  });
}

}  // namespace standin
