#include "platform/standin/registry/ValueData.h"

#include "regfile/Cp932.h"
#include "regfile/RegType.h"

namespace standin {
namespace {

regfile::DataText TextOf(DataForm form) {
  switch (form) {
    case DataForm::kQuoted:
      return regfile::DataText::kQuoted;
    case DataForm::kDword:
      return regfile::DataText::kDword;
    default:
      return regfile::DataText::kHex;
  }
}

// A code page 932 file's string is its own bytes in the code page: the
// reader refused any byte that would not come back from UTF-16 as it was.
bool QuotedInCp932(const KeyTree& tree, const Value& value) {
  return value.form == DataForm::kQuoted && tree.File().encoding == regfile::Encoding::kCp932;
}

// Data decoded on its way to another form: one buffer, reused from one
// value to the next.
std::string& Scratch() {
  static std::string scratch;
  scratch.clear();
  return scratch;
}

}  // namespace

bool IsStringType(std::uint32_t type) {
  return type == regfile::kString || type == regfile::kExpandString || type == regfile::kMultiString;
}

void AppendStored(const KeyTree& tree, const Value& value, std::string& out) {
  if (value.form == DataForm::kStored) {
    out.append(value.data, value.size);
    return;
  }
  regfile::AppendData(tree.File(), TextOf(value.form), value.data, value.type, out);
}

size_t AnsiSize(const KeyTree& tree, const Value& value) {
  if (!IsStringType(value.type)) return value.size;
  // ASCII is itself in the code page: a unit a byte, the NUL too.
  if (value.ascii) return value.size / 2;
  std::string& data = Scratch();
  if (QuotedInCp932(tree, value)) {
    regfile::AppendUnquotedCp932(value.data, tree.File().end, data);
    return data.size() + 1;
  }
  AppendStored(tree, value, data);
  return regfile::Cp932Size(reinterpret_cast<const std::uint8_t*>(data.data()), data.size() / 2);
}

void AppendAnsi(const KeyTree& tree, const Value& value, std::string& out) {
  if (!IsStringType(value.type)) {
    AppendStored(tree, value, out);
    return;
  }
  if (QuotedInCp932(tree, value)) {
    regfile::AppendUnquotedCp932(value.data, tree.File().end, out);
    out.push_back('\0');
    return;
  }
  std::string& stored = Scratch();
  AppendStored(tree, value, stored);
  const size_t at = out.size();
  out.resize(at + stored.size());
  out.resize(at + regfile::Utf16LeToCp932(stored.data(), stored.size() / 2, out.data() + at));
}

}  // namespace standin
