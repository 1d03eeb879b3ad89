// The canonical form of one value and of a section's key line.
#include "../../regfile/RegValueText.h"
#include "cp932.h"
#include "reg_file.h"

namespace standin {
namespace {

std::string EncodeCp932(std::u16string_view text) { return Utf16ToCp932(text); }

const TAnsiForm kCp932Form{Cp932CanHold, EncodeCp932};

}  // namespace

std::u16string RenderValue(const Value& v, bool regedit4, std::u16string_view newline) {
  return RenderRegValue(v.name, v.type, v.data, newline, regedit4 ? &kCp932Form : nullptr);
}

std::u16string SectionHeader(const KeyTree& tree, const Key& key, std::uint8_t root, RootSpelling spelling) {
  const Key* base = tree.Root(root);
  std::vector<const Key*> chain;
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) chain.push_back(k);
  const RootName& names = NameOfRoot(root);
  std::u16string header = u"[";
  header += spelling == RootSpelling::kLong ? names.longName : names.shortName;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    header += u"\\";
    header += (*it)->name;
  }
  header += u"]";
  header += tree.newline;
  return header;
}

}  // namespace standin
