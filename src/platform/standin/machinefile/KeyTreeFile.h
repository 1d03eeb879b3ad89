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

// Reads a whole file, which the tree then holds: its keys and values are an
// index into its bytes, and the places of its lines are kept (FileLayout)
// to write it back with every byte the run did not change.
std::unique_ptr<KeyTree> ReadKeyTree(LargeArray<char16_t> bytes, size_t size);
// The same from a copy of the bytes, or from what `read` gives to its end.
std::unique_ptr<KeyTree> ReadKeyTree(std::string_view bytes);
std::unique_ptr<KeyTree> ReadKeyTree(const RegFileSource& read);

// Receives a written file piece by piece; false stops the writing.
using KeyTreeSink = std::function<bool(std::string_view bytes)>;

// The file for the tree: the bytes it was read from, but for the lines of
// what the run removed or set anew, and with what it added in regedit's
// form. Gives false when the sink did.
bool WriteKeyTree(const KeyTree& tree, const KeyTreeSink& sink);
// The same, whole.
std::string WriteKeyTree(const KeyTree& tree);

// One value's lines in regedit's form, the last line end included. Data
// regedit would lose is written as hex: a string with a NUL before its end,
// without its final NUL or with a line break in it, as hex(1); a DWORD not
// four bytes long as hex(4).
void AppendValue(std::u16string& out, const KeyTree& tree, const Value& value, bool regedit4,
                 std::u16string_view newline);

// A section's key line in regedit's form: "[", the root's name as spelled,
// the names from the root down to the key, "]", the line end.
void AppendSectionHeader(std::u16string& out, const KeyTree& tree, const Key& key, std::uint8_t root,
                         RootSpelling spelling, std::u16string_view newline);

}  // namespace standin
