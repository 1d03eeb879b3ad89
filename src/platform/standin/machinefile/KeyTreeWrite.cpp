// Writing the key tree back as a .reg file, a piece at a time.

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "regfile/RegFileWriter.h"

namespace standin {
namespace {

// Text goes out in pieces of about this many UTF-16 units, so that a file
// is never held whole a second time.
constexpr size_t kPiece = 1 << 17;

class Writer {
 public:
  Writer(KeyTree& tree, const KeyTreeSink& sink) : tree_(tree), file_(LayoutOf(tree)), sink_(sink) {
    for (size_t i = 0; i < file_.sections.size(); ++i) {
      Key* key = file_.sections[i].key;
      if (key == nullptr || key->deleted) continue;
      Cover(key);
      // The values of a key named in several sections, sorted out once.
      if (key->section != static_cast<std::int32_t>(i) && manySections_.insert(key).second)
        for (const Value& v : key->values)
          if (tree_.Written(v)) split_[v.section].push_back(&v);
    }
  }

  bool Run() {
    const std::string_view mark = regfile::ByteOrderMark(file_.encoding);
    if (!mark.empty() && !sink_(mark)) return false;
    if (!file_.signature.empty())
      out_ = file_.signature;
    else
      out_ = file_.regedit4 ? regfile::kRegedit4 : regfile::kRegedit5;
    out_ += file_.newline;
    for (size_t i = 0; i < file_.sections.size(); ++i) {
      const Section& s = file_.sections[i];
      if (s.key == nullptr) {
        out_ += s.text->leading;
        out_ += s.text->raw;
        continue;
      }
      if (s.key->deleted) {
        KeepEmptiedParent(s);
        continue;
      }
      const FileText* text = s.text.get();
      out_ += text != nullptr ? std::u16string_view(text->leading) : std::u16string_view(file_.newline);
      if (text != nullptr && !text->raw.empty())
        out_ += text->raw;
      else
        Header(*s.key, s.root, s.spelling);
      if (manySections_.empty() || !manySections_.contains(s.key)) {
        for (const Value& v : s.key->values)
          if (tree_.Written(v)) Write(v);
      } else if (auto it = split_.find(static_cast<std::int32_t>(i)); it != split_.end()) {
        for (const Value* v : it->second) Write(*v);
      }
      if (out_.size() >= kPiece && !Emit()) return false;
    }
    out_ += file_.trailer;
    return Emit();
  }

 private:
  void Write(const Value& v) {
    const FileText* text = file_.TextOf(v);
    if (text != nullptr) out_ += text->leading;
    if (text != nullptr && !text->raw.empty()) {
      out_ += text->raw;
    } else if (text != nullptr && text->keepsFirst) {
      Value first;
      first.name = v.name;
      first.type = text->firstType;
      first.data = KeptBytes(text->firstData, text->firstSize);
      AppendValue(out_, first, file_.regedit4, file_.newline);
    } else {
      AppendValue(out_, v, file_.regedit4, file_.newline);
    }
  }

  // Marks a key and its parents as having a section written below them.
  void Cover(Key* key) {
    for (; key != nullptr && key->coveredInWrite != write_; key = key->parent) key->coveredInWrite = write_;
  }

  // A key the file only named as the parent of its sections would vanish
  // with the last of them; it gets a section of its own where the first
  // deleted one stood, so that deleting keys never deletes their parent.
  void KeepEmptiedParent(const Section& s) {
    Key* parent = s.key->parent;
    while (parent != nullptr && parent->deleted) parent = parent->parent;
    const Key* base = tree_.Root(s.root);
    if (parent == nullptr || parent->parent == nullptr || parent == base || parent->coveredInWrite == write_) return;
    bool belowBase = false;
    for (const Key* k = parent; k != nullptr; k = k->parent) belowBase = belowBase || k == base;
    out_ += file_.newline;
    if (belowBase)
      Header(*parent, s.root, s.spelling);
    else
      Header(*parent, kLocalMachine, RootSpelling::kLong);
    Cover(parent);
  }

  // Hands the text so far to the sink in the file's encoding.
  bool Emit() {
    const bool written = sink_(regfile::Encoded(out_, file_.encoding, bytes_));
    out_.clear();
    return written;
  }

  void Header(const Key& key, std::uint8_t root, RootSpelling spelling) {
    AppendSectionHeader(out_, tree_, key, root, spelling, file_.newline);
  }

  KeyTree& tree_;
  const FileLayout& file_;
  const KeyTreeSink& sink_;
  // Keys are marked with the number of the write that covered them, so
  // that no write needs to clear an earlier one's marks.
  const std::uint32_t write_ = ++writes;
  static inline std::uint32_t writes = 0;
  std::u16string out_;
  std::string bytes_;  // the piece in the file's encoding, where that is not out_'s own bytes
  // The keys the file names in several sections, and their values by section.
  std::unordered_set<const Key*> manySections_;
  std::unordered_map<std::int32_t, std::vector<const Value*>> split_;
};

}  // namespace

bool WriteKeyTree(KeyTree& tree, const KeyTreeSink& sink) { return Writer(tree, sink).Run(); }

std::string WriteKeyTree(KeyTree& tree) {
  std::string bytes;
  WriteKeyTree(tree, [&bytes](std::string_view piece) {
    bytes += piece;
    return true;
  });
  return bytes;
}

}  // namespace standin
