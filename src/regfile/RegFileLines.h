// A .reg file read whole from its bytes, a line at a time, with the checks
// regedit's import makes: what each line is, and where its parts lie in the
// bytes as the file writes them. What the parts stand for is decoded when
// asked (RegFileText.h); ReadRegFile (RegFileReader.h) gives every line
// decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "regfile/RegFileWriter.h"
#include "regfile/RegRoots.h"

namespace regfile {

// Windows keeps keys at most this many levels below their root; regedit
// imports no deeper one.
constexpr size_t kDeepestKey = 512;

// A file that does not parse: the line (from 1) and what is wrong there.
class RegFileError : public std::runtime_error {
 public:
  RegFileError(size_t line, const std::string& what) : std::runtime_error(what), line_(line) {}
  size_t line() const { return line_; }

 private:
  size_t line_;
};

// Where a part of a line lies in the file: bytes from its start.
struct Span {
  size_t at = 0;
  size_t size = 0;
  size_t end() const { return at + size; }
};

// A value's name or string data as the file writes it between quotes.
struct QuotedText {
  Span text;             // between the quotes, escapes as written
  size_t units = 0;      // the UTF-16 units it stands for, its escapes taken
  bool escaped = false;  // it holds an escape: its units are not its bytes' own
  bool ascii = true;     // it stands for ASCII units alone
};

// A [key] or [-key] line.
struct KeyLine {
  size_t line = 0;   // its number, from 1
  size_t start = 0;  // where the comment and blank lines before it begin
  size_t at = 0;     // where the line begins
  size_t end = 0;    // after its line end
  std::uint8_t root = kLocalMachine;
  RootSpelling spelling = RootSpelling::kLong;
  // The names below the root, separated by "\": doubled and trailing
  // separators name no key of their own (see ForEachName).
  Span below;
};

// How a value line writes its data.
enum class DataText : std::uint8_t {
  kQuoted,  // "text": the QuotedText's text
  kDword,   // dword:digits: the digits
  kHex,     // hex:... or hex(N):...: what follows the ':', over the continuation lines
};

// A value's line and its continuation lines, or a "name"=- line.
struct ValueLine {
  size_t line = 0;  // the number of its last line
  size_t start = 0;
  size_t at = 0;
  size_t end = 0;       // after the line end of its last line
  bool atSign = false;  // the name is written @
  QuotedText name;      // nothing for @
  std::uint32_t type = 0;
  DataText form = DataText::kQuoted;
  // For dword and hex data, its text and (for hex) whether its whole
  // UTF-16 units are ASCII.
  QuotedText data;
  size_t size = 0;  // the data's bytes as the registry holds them
};

// What the file's first line says, and where the rest lies.
struct RegFileShape {
  Encoding encoding = Encoding::kCp932;
  bool regedit4 = false;
  Span signature;                         // the first line without its line end
  std::u16string_view newline = u"\r\n";  // its line end; "\r\n" when the file is that line alone
  size_t body = 0;                        // where the second line begins
  size_t trailer = 0;                     // where the comment and blank lines after the last key or value begin
};

// What the reader found, in the file's order.
class RegFileLineEvents {
 public:
  virtual ~RegFileLineEvents() = default;
  // Whether two names are the same as the registry compares them: the
  // roots' names are matched so.
  virtual bool SameName(std::u16string_view a, std::u16string_view b) const = 0;
  // The first line read; the shape's trailer is not known yet.
  virtual void Begin(const RegFileShape& shape) = 0;
  virtual void Section(const KeyLine& key) = 0;
  // Gives false when the key is one the file set earlier: writing the file
  // back would then lose lines, and the reader refuses it.
  virtual bool KeyRemoval(const KeyLine& key) = 0;
  virtual void Value(const ValueLine& value) = 0;
  // A "name"=- line; false, as for KeyRemoval, refuses it.
  virtual bool ValueRemoval(const ValueLine& value) = 0;
};

// Reads a whole file, UTF-16LE after a byte-order mark or else code page
// 932; throws RegFileError where it does not parse. The bytes start at an
// address a UTF-16 unit may lie at: a UTF-16 file's units are read in place.
RegFileShape ReadRegFileLines(std::string_view bytes, RegFileLineEvents& events);

// Calls `visit` with each name of a path below its root.
template <typename Visit>
void ForEachName(std::u16string_view below, Visit visit) {
  while (!below.empty()) {
    const size_t next = below.find(u'\\');
    const std::u16string_view name = below.substr(0, next);
    if (!name.empty()) visit(name);
    below = next == std::u16string_view::npos ? std::u16string_view() : below.substr(next + 1);
  }
}

}  // namespace regfile
