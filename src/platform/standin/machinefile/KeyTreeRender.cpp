// Regedit's form of one value and of a section's key line.
#include <vector>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/ValueData.h"
#include "regfile/Cp932.h"
#include "regfile/RegFileWriter.h"
#include "regfile/RegValueText.h"

namespace standin {
namespace {

std::string EncodeCp932(std::u16string_view text) { return regfile::Utf16ToCp932(text); }

const regfile::TAnsiForm kCp932Form{regfile::Cp932CanHold, EncodeCp932};

}  // namespace

void AppendValue(std::u16string& out, const KeyTree& tree, const Value& v, bool regedit4, std::u16string_view newline) {
  std::string data;
  AppendStored(tree, v, data);
  regfile::AppendRegValue(out, v.name.Text(), v.type, {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()},
                          newline, regedit4 ? &kCp932Form : nullptr);
}

void AppendSectionHeader(std::u16string& out, const KeyTree& tree, const Key& key, std::uint8_t root,
                         RootSpelling spelling, std::u16string_view newline) {
  const Key* base = tree.Root(root);
  regfile::AppendKeyLineStart(out, root, spelling);
  std::vector<const Key*> chain;
  for (const Key* k = &key; k != base && k->parent != nullptr; k = k->parent) chain.push_back(k);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    out += u'\\';
    (*it)->name.AppendTo(out);
  }
  regfile::AppendKeyLineEnd(out, newline);
}

}  // namespace standin
