#include "regfile/RegFileReader.h"

#include <memory>
#include <vector>

#include "regfile/RegFileText.h"

namespace regfile {
namespace {

// The lines read, each part decoded for the consumer. A UTF-16 file's text
// is handed over in place.
class Decoded : public RegFileLineEvents {
 public:
  Decoded(FileBytes& file, RegFileEvents& events) : file_(file), events_(events) {}

  bool SameName(std::u16string_view a, std::u16string_view b) const override { return events_.SameName(a, b); }

  void Begin(const RegFileShape& shape) override {
    file_.encoding = shape.encoding;
    file_.regedit4 = shape.regedit4;
    events_.Signature(Text(shape.signature, text_), shape.newline, shape.regedit4);
  }

  void Section(const KeyLine& key) override {
    events_.Section(key.line, PathOf(key), Text({key.at, key.end - key.at}, text_),
                    Text({key.start, key.at - key.start}, leading_));
  }

  bool KeyRemoval(const KeyLine& key) override {
    return events_.KeyRemoval(key.line, PathOf(key), Text({key.at, key.end - key.at}, text_),
                              Text({key.start, key.at - key.start}, leading_));
  }

  void Value(const ValueLine& value) override {
    ValueLines lines;
    lines.name = NameOf(value);
    lines.type = value.type;
    data_.clear();
    AppendData(file_, value.form, file_.begin + value.data.text.at, value.type, data_);
    lines.data = {reinterpret_cast<const std::uint8_t*>(data_.data()), data_.size()};
    lines.text = Text({value.at, value.end - value.at}, text_);
    events_.Value(value.line, lines, Text({value.start, value.at - value.start}, leading_));
  }

  // What follows the last key or value, to the file's end.
  void End(const RegFileShape& shape, size_t size) {
    events_.End(Text({shape.trailer, size - shape.trailer}, text_), shape.encoding);
  }

  bool ValueRemoval(const ValueLine& value) override {
    return events_.ValueRemoval(value.line, NameOf(value), Text({value.at, value.end - value.at}, text_),
                                Text({value.start, value.at - value.start}, leading_));
  }

 private:
  // The text of a span: a UTF-16 file's own units, else decoded into `buffer`.
  std::u16string_view Text(Span span, std::u16string& buffer) const {
    if (file_.encoding == Encoding::kUtf16)
      return {reinterpret_cast<const char16_t*>(file_.begin + span.at), span.size / 2};
    buffer.clear();
    AppendText(file_, span, buffer);
    return buffer;
  }

  KeyPath PathOf(const KeyLine& key) { return {key.root, key.spelling, Text(key.below, below_)}; }

  std::u16string_view NameOf(const ValueLine& value) {
    name_.clear();
    if (!value.atSign) AppendUnquoted(file_, file_.begin + value.name.text.at, name_);
    return name_;
  }

  FileBytes& file_;
  RegFileEvents& events_;
  std::u16string below_, text_, leading_, name_;
  std::string data_;
};

}  // namespace

void ReadRegFile(const RegFileSource& read, RegFileEvents& events) {
  // Read whole, into units: a UTF-16 file's text is read in place.
  constexpr size_t kPiece = 1 << 20;
  std::vector<char16_t> units;
  size_t size = 0;
  for (;;) {
    units.resize((size + kPiece + 1) / 2);
    const size_t got = read(reinterpret_cast<char*>(units.data()) + size, kPiece);
    if (got == 0) break;
    size += got;
  }
  FileBytes file;
  file.begin = reinterpret_cast<const char*>(units.data());
  file.end = file.begin + size;
  Decoded decoded(file, events);
  const RegFileShape shape = ReadRegFileLines({file.begin, size}, decoded);
  decoded.End(shape, size);
}

}  // namespace regfile
