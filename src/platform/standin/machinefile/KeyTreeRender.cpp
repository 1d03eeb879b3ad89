// The canonical form of one value and of a section's key line.
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "regfile/Cp932.h"
#include "regfile/RegFileWriter.h"
#include "regfile/RegValueText.h"
#include "regfile/Utf16le.h"

namespace standin {
namespace {

std::string EncodeCp932(std::u16string_view text) { return regfile::Utf16ToCp932(text); }

const regfile::TAnsiForm kCp932Form{regfile::Cp932CanHold, EncodeCp932};

}  // namespace

void AppendValue(std::u16string& out, const Value& v, bool regedit4, std::u16string_view newline) {
  regfile::AppendRegValue(out, v.name, v.type, v.data, newline, regedit4 ? &kCp932Form : nullptr);
}

void AppendSectionHeader(std::u16string& out, const KeyTree& tree, const Key& key, std::uint8_t root,
                         RootSpelling spelling, std::u16string_view newline) {
  const Key* base = tree.Root(root);
  regfile::AppendKeyLineStart(out, root, spelling);
  // The names from the root down: each written at its place from the end.
  size_t length = 0;
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) length += 1 + k->name.size();
  const size_t start = out.size();
  out.resize(start + length);
  size_t end = out.size();
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) {
    end -= k->name.size();
    std::copy(k->name.begin(), k->name.end(), out.begin() + static_cast<std::ptrdiff_t>(end));
    out[--end] = u'\\';
  }
  regfile::AppendKeyLineEnd(out, newline);
}

bool IsSectionHeader(std::u16string_view line, const KeyTree& tree, const Key& key, std::uint8_t root,
                     RootSpelling spelling, std::u16string_view newline) {
  const RootName& names = NameOfRoot(root);
  const std::u16string_view rootName = spelling == RootSpelling::kLong ? names.longName : names.shortName;
  // "[" and the root's name, then the names, then "]" and the line end.
  if (line.size() < 2 + rootName.size() + newline.size() || line.front() != u'[' ||
      !regfile::SameUnits(line.substr(1, rootName.size()), rootName) ||
      !regfile::SameUnits(line.substr(line.size() - newline.size()), newline) ||
      line[line.size() - newline.size() - 1] != u']')
    return false;
  std::u16string_view below = line.substr(1 + rootName.size(), line.size() - newline.size() - 2 - rootName.size());
  // The names from the key up, each with its "\\" before it, from the end.
  const Key* base = tree.Root(root);
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) {
    if (below.size() < 1 + k->name.size() ||
        !regfile::SameUnits(below.substr(below.size() - k->name.size()), k->name) ||
        below[below.size() - k->name.size() - 1] != u'\\')
      return false;
    below.remove_suffix(1 + k->name.size());
  }
  return below.empty();
}

}  // namespace standin
