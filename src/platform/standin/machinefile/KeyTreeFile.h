// The machine file's key tree read from and written to a .reg file.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/standin/machinefile/FileLayout.h"
#include "platform/standin/registry/KeyTree.h"
#include "regfile/RegFileReader.h"

namespace standin {

using regfile::RegFileError;
using regfile::RegFileSource;

// Reads a whole file. Keys and values keep their order, and the text the
// canonical form would not give back (comments, unusual spacing, hand-made
// hex lines) is kept to write the file back unchanged.
std::unique_ptr<KeyTree> ReadKeyTree(std::string_view bytes);
// The same, a piece at a time, so that a large file is never held whole.
std::unique_ptr<KeyTree> ReadKeyTree(const RegFileSource& read);

// Receives a written file piece by piece; false stops the writing.
using KeyTreeSink = std::function<bool(std::string_view bytes)>;

// The file for the tree, in its own encoding: the canonical form regedit
// writes, but for the text kept from reading it. Gives false when the sink
// did. Changes only the writer's marks on the keys.
bool WriteKeyTree(KeyTree& tree, const KeyTreeSink& sink);
// The same, whole.
std::string WriteKeyTree(KeyTree& tree);

// One value's lines in regedit's form, the last line end included. Data
// regedit would lose is written as hex: a string with a NUL before its end,
// without its final NUL or with a line break in it, as hex(1); a DWORD not
// four bytes long as hex(4).
void AppendValue(std::u16string& out, const Value& value, bool regedit4, std::u16string_view newline);

// A section's key line in the canonical form: "[", the root's name as
// spelled, the names from the root down to the key, "]", the line end.
void AppendSectionHeader(std::u16string& out, const KeyTree& tree, const Key& key, std::uint8_t root,
                         RootSpelling spelling, std::u16string_view newline);
// Whether a line is that form, told without writing it.
bool IsSectionHeader(std::u16string_view line, const KeyTree& tree, const Key& key, std::uint8_t root,
                     RootSpelling spelling, std::u16string_view newline);

}  // namespace standin
