// Reading the .reg file format, as regedit and reg.exe write it: "Windows
// Registry Editor Version 5.00" in UTF-16LE with a BOM, or "REGEDIT4" in
// code page 932; CRLF or LF line ends. The reader tells a consumer what the
// file holds, line by line, decoded, with the text as written: the lines
// of RegFileLines.h, each part taken apart.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "regfile/RegFileLines.h"
#include "regfile/RegFileWriter.h"
#include "regfile/RegRoots.h"

namespace regfile {

// A key as a [key] or [-key] line names it.
struct KeyPath {
  std::uint8_t root = kLocalMachine;
  RootSpelling spelling = RootSpelling::kLong;
  // The names below the root, separated by "\": doubled and trailing
  // separators name no key of their own (see ForEachName).
  std::u16string_view below;
};

// A value line, and its continuation lines.
struct ValueLines {
  std::u16string_view name;  // empty: the default value (@), or a value named ""
  std::uint32_t type = 0;
  std::span<const std::uint8_t> data;  // as the registry holds it: strings in UTF-16LE
  std::u16string_view text;            // the lines as written, line ends included
};

// What the reader found, in the file's order. Views last for the call only.
// `leading` is the comment and blank lines before the line reported; `line`
// its number, for the consumer's own refusals.
class RegFileEvents {
 public:
  virtual ~RegFileEvents() = default;
  // Whether two names are the same as the registry compares them: the
  // roots' names are matched so.
  virtual bool SameName(std::u16string_view a, std::u16string_view b) const = 0;
  // The first line as written, without its line end, and that line end
  // ("\r\n" when the file has one line only).
  virtual void Signature(std::u16string_view line, std::u16string_view newline, bool regedit4) = 0;
  virtual void Section(size_t line, const KeyPath& key, std::u16string_view text, std::u16string_view leading) = 0;
  // A [-key] line. Gives false when the key is one the file set earlier:
  // writing the file back would then lose lines, and the reader refuses it.
  virtual bool KeyRemoval(size_t line, const KeyPath& key, std::u16string_view text, std::u16string_view leading) = 0;
  virtual void Value(size_t line, const ValueLines& value, std::u16string_view leading) = 0;
  // A "name"=- line; false, as for KeyRemoval, refuses it.
  virtual bool ValueRemoval(size_t line, std::u16string_view name, std::u16string_view text,
                            std::u16string_view leading) = 0;
  // What follows the last key or value, and the file's encoding.
  virtual void End(std::u16string_view trailer, Encoding encoding) = 0;
};

// Gives up to `size` bytes of the file into the buffer, 0 at its end.
using RegFileSource = std::function<size_t(char* buffer, size_t size)>;

// Reads a whole file; throws RegFileError where it does not parse, as
// ReadRegFileLines does.
void ReadRegFile(const RegFileSource& read, RegFileEvents& events);

}  // namespace regfile
