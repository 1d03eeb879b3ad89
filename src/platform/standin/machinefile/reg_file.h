// The .reg file format, as regedit and reg.exe write it: "Windows Registry
// Editor Version 5.00" in UTF-16LE with a BOM, or "REGEDIT4" in code page
// 932; CRLF or LF line ends.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/standin/registry/key_tree.h"

namespace standin {

// A file that does not parse: the line (from 1) and what is wrong there.
class RegFileError : public std::runtime_error {
 public:
  RegFileError(size_t line, const std::string& what) : std::runtime_error(what), line_(line) {}
  size_t line() const { return line_; }

 private:
  size_t line_;
};

// Reads a whole file. Keys and values keep their order, and the text the
// canonical form would not give back (comments, unusual spacing, hand-made
// hex lines) is kept to write the file back unchanged.
std::unique_ptr<KeyTree> ReadRegFile(std::string_view bytes);
// The same, a piece at a time, so that a large file is never held whole:
// `read` fills up to `size` bytes of the buffer and gives how many it
// filled, 0 at the end of the file.
using RegFileSource = std::function<size_t(char* buffer, size_t size)>;
std::unique_ptr<KeyTree> ReadRegFile(const RegFileSource& read);

// Receives a written file piece by piece; false stops the writing.
using RegFileSink = std::function<bool(std::string_view bytes)>;

// The file for the tree, in its own encoding: the canonical form regedit
// writes, but for the text kept from reading it. Gives false when the sink
// did.
bool WriteRegFile(const KeyTree& tree, const RegFileSink& sink);
// The same, whole.
std::string WriteRegFile(const KeyTree& tree);

// One value's lines in regedit's form, the last line end included. Data
// regedit would lose is written as hex: a string with a NUL before its end,
// without its final NUL or with a line break in it, as hex(1); a DWORD not
// four bytes long as hex(4).
void AppendValue(std::u16string& out, const Value& value, bool regedit4, std::u16string_view newline);

// A section's key line in the canonical form: "[", the root's name as
// spelled, the names from the root down to the key, "]", the line end.
void AppendSectionHeader(std::u16string& out, const KeyTree& tree, const Key& key, std::uint8_t root,
                         RootSpelling spelling);

}  // namespace standin
