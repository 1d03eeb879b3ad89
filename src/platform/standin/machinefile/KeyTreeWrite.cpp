// Writing the key tree back as a .reg file: the bytes it was read from, but
// for the lines of what the run removed or set anew, with what it added in
// regedit's form.
#include <algorithm>
#include <functional>
#include <unordered_set>
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "regfile/RegFileWriter.h"

namespace standin {
namespace {

// What the write does at a place in the file: cut the bytes up to `end`, or
// write text there. At one place, in the order of `when`.
struct Edit {
  enum When : std::uint8_t {
    kEndOfSection,  // the values the run added to the section that ends there
    kInPlace,       // a value set anew, or a section header, where an entry begins
    kCut,
  };
  size_t at = 0;
  When when = kCut;
  size_t end = 0;
  std::function<void(std::u16string&)> text;
};

class Writer {
 public:
  Writer(const KeyTree& tree, const KeyTreeSink& sink) : tree_(tree), file_(LayoutOf(tree)), sink_(sink) {}

  bool Run() {
    RemovedValues();
    DeletedSections();
    SetValues();
    RunSections();
    std::stable_sort(edits_.begin(), edits_.end(),
                     [](const Edit& a, const Edit& b) { return a.at != b.at ? a.at < b.at : a.when < b.when; });
    size_t kept = 0;  // where the bytes to copy next begin
    for (const Edit& edit : edits_) {
      if (edit.at < kept) {
        // Inside what was cut: only a longer cut goes on.
        if (edit.when == Edit::kCut) kept = std::max(kept, edit.end);
        continue;
      }
      if (!Copy(kept, edit.at)) return false;
      kept = edit.at;
      if (edit.when == Edit::kCut) {
        kept = edit.end;
      } else {
        text_.clear();
        // Text goes on a line of its own, even after a last line without its end.
        if (!endsLine_) text_ += file_.shape.newline;
        edit.text(text_);
        if (!Emit()) return false;
      }
    }
    return Copy(kept, tree_.File().end - tree_.File().begin);
  }

 private:
  size_t SectionStart(std::int32_t section) const { return file_.Start(file_.sections[section].entry); }
  size_t SectionEnd(std::int32_t section) const {
    return static_cast<std::uint32_t>(section) + 1 < file_.fileSections ? SectionStart(section + 1)
                                                                        : file_.shape.trailer;
  }
  bool FromFile(std::int32_t section) const { return static_cast<std::uint32_t>(section) < file_.fileSections; }

  void Cut(std::uint32_t entry) { edits_.push_back({file_.Start(entry), Edit::kCut, file_.End(entry), {}}); }

  // An entry's lines, and those of the later settings of the value it sets.
  void CutSettings(std::uint32_t entry) {
    Cut(entry);
    const auto [from, to] = file_.laterSettings.equal_range(entry);
    for (auto it = from; it != to; ++it) Cut(it->second);
  }

  void RemovedValues() {
    for (const std::uint32_t entry : tree_.RemovedEntries()) CutSettings(entry);
  }

  // Every section of a deleted key goes. A key the file only named as the
  // parent of those would vanish with the last of them: it gets a section
  // of its own where the first of them stood, so that deleting keys never
  // deletes their parent.
  void DeletedSections() {
    std::vector<std::int32_t> sections;
    for (const Key* key : tree_.Buried()) {
      if (FromFile(key->section)) sections.push_back(key->section);
      const auto [from, to] = file_.moreSections.equal_range(key);
      for (auto it = from; it != to; ++it) sections.push_back(it->second);
    }
    std::sort(sections.begin(), sections.end());
    std::unordered_set<const Key*> kept;
    for (const std::int32_t s : sections) {
      const Section& section = file_.sections[s];
      edits_.push_back({SectionStart(s), Edit::kCut, SectionEnd(s), {}});
      const Key* parent = section.key->parent;
      while (parent != nullptr && parent->deleted) parent = parent->parent;
      const Key* base = tree_.Root(section.root);
      if (parent == nullptr || parent->parent == nullptr || parent == base || Covered(*parent, kept)) continue;
      kept.insert(parent);
      bool belowBase = false;
      for (const Key* k = parent; k != nullptr; k = k->parent) belowBase = belowBase || k == base;
      const std::uint8_t root = belowBase ? section.root : std::uint8_t{kLocalMachine};
      const RootSpelling spelling = belowBase ? section.spelling : RootSpelling::kLong;
      edits_.push_back({SectionStart(s), Edit::kInPlace, 0, [this, parent, root, spelling](std::u16string& out) {
                          out += file_.shape.newline;
                          AppendSectionHeader(out, tree_, *parent, root, spelling, file_.shape.newline);
                        }});
    }
  }

  // Whether a section names the key or a live key below it, or one of the
  // keys given one here does.
  static bool Covered(const Key& top, const std::unordered_set<const Key*>& kept) {
    std::vector<const Key*> below{&top};
    while (!below.empty()) {
      const Key& key = *below.back();
      below.pop_back();
      if (key.section >= 0 || kept.contains(&key)) return true;
      for (const Key* child : key.Children())
        if (!child->deleted) below.push_back(child);
    }
    return false;
  }

  // Values the run set: one set anew is written in place of its first
  // setting, whose later ones go; one added follows the values of its
  // key's first section.
  void SetValues() {
    std::unordered_set<const Key*> seen;
    for (const Key* key : tree_.Touched()) {
      if (key->deleted || !seen.insert(key).second) continue;
      for (const Value& v : key->Values()) {
        if (v.removed || v.form != DataForm::kStored || v.entry == kNoEntry) continue;
        const Value* value = &v;
        edits_.push_back(
            {file_.Start(v.entry), Edit::kInPlace, 0, [this, value](std::u16string& out) { WriteValue(out, *value); }});
        CutSettings(v.entry);
      }
      if (FromFile(key->section))
        edits_.push_back({SectionEnd(key->section), Edit::kEndOfSection, 0,
                          [this, key](std::u16string& out) { AddedValues(out, *key); }});
    }
  }

  // The sections the run added, at the end: their keys hold only values it added.
  void RunSections() {
    for (size_t s = file_.fileSections; s < file_.sections.size(); ++s) {
      const Section& section = file_.sections[s];
      if (section.key->deleted) continue;
      edits_.push_back({file_.shape.trailer, Edit::kInPlace, 0, [this, &section](std::u16string& out) {
                          out += file_.shape.newline;
                          AppendSectionHeader(out, tree_, *section.key, section.root, section.spelling,
                                              file_.shape.newline);
                          AddedValues(out, *section.key);
                        }});
    }
  }

  void AddedValues(std::u16string& out, const Key& key) {
    for (const Value& v : key.Values())
      if (!v.removed && v.entry == kNoEntry) WriteValue(out, v);
  }

  void WriteValue(std::u16string& out, const Value& v) {
    AppendValue(out, tree_, v, file_.shape.regedit4, file_.shape.newline);
  }

  // Hands the file's bytes from `from` to `to` to the sink as they are.
  bool Copy(size_t from, size_t to) {
    if (to <= from) return true;
    const char* bytes = tree_.File().begin;
    endsLine_ = file_.shape.encoding == regfile::Encoding::kUtf16
                    ? to >= 2 && bytes[to - 2] == '\n' && bytes[to - 1] == 0
                    : bytes[to - 1] == '\n';
    return sink_({bytes + from, to - from});
  }

  // Hands the text written to the sink in the file's encoding.
  bool Emit() {
    endsLine_ = !text_.empty() && text_.back() == u'\n';
    return text_.empty() || sink_(regfile::Encoded(text_, file_.shape.encoding, bytes_));
  }

  const KeyTree& tree_;
  const FileLayout& file_;
  const KeyTreeSink& sink_;
  std::vector<Edit> edits_;
  std::u16string text_;
  std::string bytes_;  // text in the file's encoding, where that is not text_'s own bytes
  bool endsLine_ = true;
};

}  // namespace

bool WriteKeyTree(const KeyTree& tree, const KeyTreeSink& sink) { return Writer(tree, sink).Run(); }

std::string WriteKeyTree(const KeyTree& tree) {
  std::string bytes;
  WriteKeyTree(tree, [&bytes](std::string_view piece) {
    bytes += piece;
    return true;
  });
  return bytes;
}

}  // namespace standin
