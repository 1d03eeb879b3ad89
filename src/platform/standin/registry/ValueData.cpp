#include "platform/standin/registry/ValueData.h"

#include <cstring>

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

// The units a quoted string stands for.
size_t QuotedUnits(const Value& value) { return value.size / 2 - 1; }

// The bytes of a code page 932 file's quoted string without escapes, up to
// its closing quote (a byte no character of the code page ends with).
size_t PlainBytes(const KeyTree& tree, const Value& value) {
  if (value.ascii) return QuotedUnits(value);
  return static_cast<size_t>(static_cast<const char*>(std::memchr(value.data, '"', tree.File().end - value.data)) -
                             value.data);
}

bool InUtf16(const KeyTree& tree) { return tree.File().encoding == regfile::Encoding::kUtf16; }

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
  if (value.plain && InUtf16(tree)) {
    out.append(value.data, 2 * QuotedUnits(value));
    out.append(2, '\0');
    return;
  }
  regfile::AppendData(tree.File(), TextOf(value.form), value.data, value.type, out);
}

size_t AnsiSize(const KeyTree& tree, const Value& value) {
  if (!IsStringType(value.type)) return value.size;
  // ASCII is itself in the code page: a unit a byte, the NUL too.
  if (value.ascii) return value.size / 2;
  if (value.plain && !InUtf16(tree)) return PlainBytes(tree, value) + 1;
  std::string& data = Scratch();
  if (value.form == DataForm::kQuoted) {
    regfile::AppendUnquotedCp932(tree.File(), value.data, QuotedUnits(value), data);
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
  if (value.form == DataForm::kQuoted) {
    regfile::AppendUnquotedCp932(tree.File(), value.data, QuotedUnits(value), out);
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
