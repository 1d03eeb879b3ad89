// Loading a .reg file into the key tree: the file's lines become keys and
// values that point into its bytes, and entries and sections that say where
// they stand.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/Upcase.h"
#include "regfile/Cp932.h"
#include "regfile/RegFileText.h"

namespace standin {
namespace {

// The last section's path, and the key of each name in it with where the
// name ends in the path: sections in a row mostly share the names near the
// root, whose keys are taken again rather than looked up.
template <typename Char>
struct LastPath {
  std::uint8_t root = kRootCount;
  std::basic_string_view<Char> path;  // where it lies in the file, or in the decoded text of it
  std::vector<Key*> keys;
  std::vector<size_t> ends;
};

template <typename Char>
size_t CommonLength(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  const size_t both = std::min(a.size(), b.size());
  constexpr size_t kWord = 8 / sizeof(Char);
  size_t at = 0;
  // A word a step where they agree.
  for (; at + kWord <= both; at += kWord) {
    std::uint64_t x = 0, y = 0;
    std::memcpy(&x, a.data() + at, sizeof x);
    std::memcpy(&y, b.data() + at, sizeof y);
    if (x != y) break;
  }
  while (at < both && a[at] == b[at]) ++at;
  return at;
}

class Loader : public regfile::RegFileLineEvents {
 public:
  Loader(KeyTree& tree, FileLayout& layout) : tree_(tree), layout_(layout), file_(tree.File()) {}

  bool SameName(std::u16string_view a, std::u16string_view b) const override { return standin::SameName(a, b); }

  void Begin(const regfile::RegFileShape& shape) override {
    utf16_ = shape.encoding == regfile::Encoding::kUtf16;
    tree_.SetEncoding(shape.encoding, shape.regedit4);
  }

  void Section(const regfile::KeyLine& line) override {
    current_ = KeyOf(line);
    layout_.AddSection(current_, line.root, line.spelling, layout_.AddEntry(line.start));
  }

  bool KeyRemoval(const regfile::KeyLine& line) override {
    std::u16string path;
    regfile::AppendText(file_, line.below, path);
    const Key* key = tree_.Root(line.root);
    regfile::ForEachName(path, [&key](std::u16string_view name) {
      if (key != nullptr) key = key->FindChild(name);
    });
    if (key != nullptr && HasSection(*key)) return false;
    layout_.hadRemovals = true;
    // A line of the file with no key of the tree: it, and the comments
    // before it, stay wherever the file is written back.
    layout_.AddSection(nullptr, line.root, line.spelling, layout_.AddEntry(line.start));
    current_ = nullptr;
    return true;
  }

  void Value(const regfile::ValueLine& line) override {
    const std::uint32_t entry = layout_.AddEntry(line.start);
    standin::Value value;
    value.name = NameOf(line);
    value.data = file_.begin + line.data.text.at;
    value.type = line.type;
    value.size = static_cast<std::uint32_t>(line.size);
    value.form = line.form == regfile::DataText::kQuoted  ? DataForm::kQuoted
                 : line.form == regfile::DataText::kDword ? DataForm::kDword
                                                          : DataForm::kHex;
    value.ascii = line.form != regfile::DataText::kDword && line.data.ascii;
    value.plain = line.form == regfile::DataText::kQuoted && !line.data.escaped;
    if (standin::Value* earlier = current_->FindValue(value.name)) {
      // Set again, as regedit merges it: every setting keeps its lines.
      tree_.SetAgain(*current_, *earlier, value);
      layout_.laterSettings.emplace(earlier->entry, entry);
      return;
    }
    value.entry = entry;
    tree_.AddValue(*current_, value);
  }

  bool ValueRemoval(const regfile::ValueLine& line) override {
    if (current_->FindValue(NameOf(line)) != nullptr) return false;
    layout_.hadRemovals = true;
    // The line stays among the key's values, and goes only with its key.
    layout_.AddEntry(line.start);
    return true;
  }

 private:
  // A value's name where it lies in the file, when the file writes its
  // units (or ASCII bytes) as they are; else its units in the tree's store.
  Name NameOf(const regfile::ValueLine& line) {
    if (line.atSign) return {};
    const regfile::QuotedText& quoted = line.name;
    const char* at = file_.begin + quoted.text.at;
    if (!quoted.escaped && utf16_) return {reinterpret_cast<const char16_t*>(at), quoted.units};
    if (!quoted.escaped && quoted.ascii) return Name::Narrow(at, quoted.units);
    decoded_.clear();
    regfile::AppendUnquoted(file_, at, decoded_);
    return tree_.Keep(decoded_);
  }

  // The key a section names, made when missing.
  Key* KeyOf(const regfile::KeyLine& line) {
    const char* at = file_.begin + line.below.at;
    if (utf16_) return Walk(line.root, {reinterpret_cast<const char16_t*>(at), line.below.size / 2}, last16_, true);
    const std::string_view bytes(at, line.below.size);
    if (regfile::AsciiBytes(bytes)) return Walk(line.root, bytes, last8_, true);
    // Names beyond ASCII, converted, are kept in the tree's store.
    last8_.keys.clear();
    last8_.ends.clear();
    decoded_ = regfile::Cp932ToUtf16(bytes);
    LastPath<char16_t> once;
    return Walk(line.root, std::u16string_view(decoded_), once, false);
  }

  // The keys of a path's names, from those the last path spelled the same
  // way; `inPlace`: the path lies in the file, where the names made stay.
  template <typename Char>
  Key* Walk(std::uint8_t root, std::basic_string_view<Char> path, LastPath<Char>& last, bool inPlace) {
    Key* key = tree_.Root(root);
    size_t kept = 0;
    if (root == last.root) {
      const size_t common = CommonLength(path, last.path);
      while (kept < last.ends.size() && last.ends[kept] <= common &&
             (last.ends[kept] == path.size() || path[last.ends[kept]] == '\\'))
        ++kept;
    }
    last.keys.resize(kept);
    last.ends.resize(kept);
    size_t from = kept == 0 ? 0 : last.ends.back();
    if (kept != 0) key = last.keys.back();
    // The names after those, as regfile::ForEachName splits them.
    while (from < path.size()) {
      const size_t next = std::min(path.find('\\', from), path.size());
      if (next != from) {
        key = Child(*key, path.substr(from, next - from), inPlace);
        last.keys.push_back(key);
        last.ends.push_back(next);
      }
      from = next + 1;
    }
    last.root = root;
    last.path = path;
    return key;
  }

  Key* Child(Key& parent, std::u16string_view name, bool inPlace) {
    return inPlace ? tree_.Child(parent, Name(name)) : tree_.Child(parent, name);
  }
  Key* Child(Key& parent, std::string_view name, bool) {
    return tree_.Child(parent, Name::Narrow(name.data(), name.size()));
  }

  // Whether a section of the file names the key or a key below it.
  static bool HasSection(const Key& top) {
    std::vector<const Key*> below{&top};
    while (!below.empty()) {
      const Key& key = *below.back();
      below.pop_back();
      if (key.section >= 0) return true;
      for (const Key* child : key.Children())
        if (!child->deleted) below.push_back(child);
    }
    return false;
  }

  KeyTree& tree_;
  FileLayout& layout_;
  const regfile::FileBytes& file_;
  bool utf16_ = false;
  Key* current_ = nullptr;
  std::u16string decoded_;
  LastPath<char16_t> last16_;
  LastPath<char> last8_;
};

// Reads what `read` gives into units, growing them as it goes.
LargeArray<char16_t> ReadAll(const RegFileSource& read, size_t& size) {
  LargeArray<char16_t> units(1 << 19);
  size = 0;
  for (;;) {
    const size_t capacity = 2 * units.size();
    if (size == capacity) {
      LargeArray<char16_t> grown(2 * units.size());
      std::memcpy(grown.get(), units.get(), size);
      units = std::move(grown);
      continue;
    }
    const size_t got = read(reinterpret_cast<char*>(units.get()) + size, capacity - size);
    if (got == 0) return units;
    size += got;
  }
}

}  // namespace

std::unique_ptr<KeyTree> ReadKeyTree(LargeArray<char16_t> bytes, size_t size) {
  // A file of megabytes makes lists of as many: each takes large blocks
  // from the first, where the small ones of a small list would each fault.
  const bool large = size >= size_t{16} << 20;
  auto tree = std::make_unique<KeyTree>(large);
  auto layout = std::make_unique<FileLayout>(*tree, size, large);
  const char* begin = reinterpret_cast<const char*>(bytes.get());
  tree->Hold(std::move(bytes), size);
  Loader loader(*tree, *layout);
  layout->shape = regfile::ReadRegFileLines({begin, size}, loader);
  layout->fileSections = static_cast<std::uint32_t>(layout->sections.size());
  // From here on, keys made or written get a place in the file.
  tree->places = std::move(layout);
  tree->changed = false;
  return tree;
}

std::unique_ptr<KeyTree> ReadKeyTree(std::string_view bytes) {
  LargeArray<char16_t> units(bytes.size() / 2 + 1);
  std::memcpy(units.get(), bytes.data(), bytes.size());
  return ReadKeyTree(std::move(units), bytes.size());
}

std::unique_ptr<KeyTree> ReadKeyTree(const RegFileSource& read) {
  size_t size = 0;
  LargeArray<char16_t> units = ReadAll(read, size);
  return ReadKeyTree(std::move(units), size);
}

}  // namespace standin
