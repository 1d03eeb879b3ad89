// Writing the key tree back as a .reg file.
#include <unordered_set>

#include "cp932.h"
#include "reg_file.h"

namespace standin {
namespace {

class Writer {
 public:
  explicit Writer(const KeyTree& tree) : tree_(tree) {
    for (const Section& s : tree_.sections)
      if (!s.key->deleted) Cover(s.key);
  }

  std::u16string Run() {
    out_ = tree_.regedit4 ? u"REGEDIT4" : u"Windows Registry Editor Version 5.00";
    out_ += tree_.newline;
    for (size_t i = 0; i < tree_.sections.size(); ++i) {
      const Section& s = tree_.sections[i];
      if (s.key->deleted) {
        KeepEmptiedParent(s);
        continue;
      }
      const FileText* text = s.text.get();
      out_ += text != nullptr ? std::u16string_view(text->leading) : std::u16string_view(tree_.newline);
      if (text != nullptr && !text->raw.empty())
        out_ += text->raw;
      else
        Header(*s.key, s.root, s.spelling);
      for (const Value& v : s.key->values) {
        if (v.section != static_cast<std::int32_t>(i)) continue;
        if (v.text != nullptr) out_ += v.text->leading;
        if (v.text != nullptr && !v.text->raw.empty())
          out_ += v.text->raw;
        else
          out_ += RenderValue(v, tree_.regedit4, tree_.newline);
      }
    }
    out_ += tree_.trailer;
    return std::move(out_);
  }

 private:
  // Marks a key and its parents as having a section written below them.
  void Cover(const Key* key) {
    for (; key != nullptr && covered_.insert(key).second; key = key->parent) {
    }
  }

  // A key the file only named as the parent of its sections would vanish
  // with the last of them; it gets a section of its own where the first
  // deleted one stood, so that deleting keys never deletes their parent.
  void KeepEmptiedParent(const Section& s) {
    const Key* parent = s.key->parent;
    while (parent != nullptr && parent->deleted) parent = parent->parent;
    const Key* base = tree_.Root(s.root);
    if (parent == nullptr || parent->parent == nullptr || parent == base || covered_.count(parent) != 0) return;
    bool belowBase = false;
    for (const Key* k = parent; k != nullptr; k = k->parent) belowBase = belowBase || k == base;
    out_ += tree_.newline;
    if (belowBase)
      Header(*parent, s.root, s.spelling);
    else
      Header(*parent, kLocalMachine, RootSpelling::kLong);
    Cover(parent);
  }

  void Header(const Key& key, std::uint8_t root, RootSpelling spelling) {
    out_ += SectionHeader(tree_, key, root, spelling);
  }

  const KeyTree& tree_;
  std::unordered_set<const Key*> covered_;
  std::u16string out_;
};

}  // namespace

std::string WriteRegFile(const KeyTree& tree) {
  const std::u16string text = Writer(tree).Run();
  if (tree.encoding == FileEncoding::kCp932) return Utf16ToCp932(text);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace standin
