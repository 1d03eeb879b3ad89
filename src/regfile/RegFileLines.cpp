#include "regfile/RegFileLines.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "regfile/Cp932.h"
#include "regfile/RegFileSyntax.h"
#include "regfile/RegType.h"
#include "regfile/Utf16le.h"
#include "regfile/Utf8.h"

namespace regfile {
namespace {

using syntax::Content;
using syntax::kNone;
using syntax::Text;
using syntax::TrimLeft;
using syntax::TrimRight;

constexpr const char* kUtf16Cut = "the UTF-16 file ends in the middle of a character";

// A short quotation of the text an error points at.
std::string Quote(std::u16string_view text) {
  constexpr size_t kLongest = 40;
  std::string q = Utf16ToUtf8(text.substr(0, kLongest));
  return "'" + q + (text.size() > kLongest ? "...'" : "'");
}

std::u16string Units(std::u16string_view text) { return std::u16string(text); }
std::u16string Units(std::string_view text) { return Cp932ToUtf16(text); }

// The first bytes of a code page 932 file that converting to UTF-16 and
// back would not give back as they were, and what is wrong with them.
struct Inexact {
  size_t at = kNone;
  std::string message;
};

std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char b : bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += out.empty() ? "0x" : " 0x";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  return 2;
}

// Valid UTF-8 with at least one character outside ASCII; a character cut
// at the end of the piece counts as valid.
bool LooksLikeUtf8(std::string_view bytes) {
  bool wide = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (b < 0xC2 || b > 0xF4) return false;
    const size_t size = Utf8Length(b);
    for (size_t k = 1; k < size && i + k < bytes.size(); ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    wide = true;
    i += size;
  }
  return wide;
}

// What is wrong with the character at `at` of a piece. A file that is
// UTF-8 (a .reg file saved by a text editor) is told so, with the whole
// UTF-8 character.
std::string InexactMessage(std::string_view piece, size_t at, size_t length) {
  constexpr const char* kSaveAs = "save it as UTF-16 (regedit's form) or as REGEDIT4 in code page 932";
  if (LooksLikeUtf8(piece)) {
    size_t first = at;
    while (first > 0 && at - first < 3 && (static_cast<unsigned char>(piece[first]) & 0xC0) == 0x80) --first;
    const size_t size = Utf8Length(static_cast<unsigned char>(piece[first]));
    return "bytes " + Hex(piece.substr(first, size)) +
           " are not code page 932 text; the file looks like UTF-8 without a byte-order mark: " + kSaveAs;
  }
  const std::string_view bytes = piece.substr(at, length);
  const std::string again = Utf16ToCp932(Cp932ToUtf16(bytes));
  if (Cp932ToUtf16(bytes) != u"\u30FB" && again.size() == bytes.size() && again.find('?') == std::string::npos)
    return "bytes " + Hex(bytes) + " are a code page 932 character that Windows writes as " + Hex(again) +
           "; the file could not be written back as it is: write it as " + Hex(again) + " or " + kSaveAs;
  return std::string(length == 1 ? "byte " : "bytes ") + Hex(bytes) + (length == 1 ? " is" : " are") +
         " not code page 932 text; the file could not be written back as it is. If this file is UTF-8, " + kSaveAs;
}

// The code page's bytes that would not come back, looked for as the program
// reads a file: in pieces of 1 MB, a character split at the end of one
// piece taken with the next, each piece judged (as UTF-8 or not) on its own.
Inexact FindInexact(std::string_view file) {
  constexpr size_t kPiece = 1 << 20;
  constexpr size_t kSignature = 3;  // the longest byte-order mark: a shorter file is read to its end at once
  Inexact found;
  size_t at = 0;
  size_t filled = std::min(file.size(), kPiece);
  bool atEnd = file.size() < kSignature;
  while (filled != 0) {
    std::string_view piece = file.substr(at, filled);
    if (!atEnd) {
      // The lead bytes after the last byte that cannot lead a character
      // pair up, and an odd one out starts a character the next piece ends.
      size_t leads = 0;
      while (leads < piece.size() && IsCp932LeadByte(static_cast<unsigned char>(piece[piece.size() - 1 - leads])))
        ++leads;
      piece = piece.substr(0, piece.size() - leads % 2);
    }
    size_t length = 0;
    const size_t bad = FirstInexactCp932(piece, length);
    if (bad != kNone) {
      found.at = at + bad;
      found.message = InexactMessage(piece, bad, length);
      return found;
    }
    const size_t carried = filled - piece.size();
    at += piece.size();
    const size_t got = std::min(file.size() - at - carried, kPiece);
    filled = carried + got;
    atEnd = got == 0;
  }
  return found;
}

// Reads the lines of a file whose text is in units of Char: UTF-16 units
// in place, or code page 932 bytes.
template <typename Char>
class Reader {
 public:
  // `offset`: the bytes before the text (a byte-order mark); `cut`: a byte
  // after the last whole unit.
  Reader(Text<Char> text, size_t offset, bool cut, Inexact inexact, RegFileLineEvents& events)
      : text_(text), offset_(offset), cut_(cut), inexact_(std::move(inexact)), events_(events) {}

  RegFileShape Run(Encoding encoding) {
    RegFileShape shape;
    shape.encoding = encoding;
    const Text<Char> first = NextLine();
    const Text<Char> signature = TrimRight(Content(first));
    if (Same(signature, kRegedit4)) {
      shape.regedit4 = regedit4_ = true;
    } else if (!Same(signature, kRegedit5)) {
      throw RegFileError(1,
                         "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" "
                         "or \"REGEDIT4\"");
    }
    shape.signature = {offset_, Bytes(Content(first).size())};
    if (first.size() != Content(first).size())
      shape.newline = first.size() - Content(first).size() == 2 ? u"\r\n" : u"\n";
    shape.body = Place(pos_);
    events_.Begin(shape);
    size_t pending = pos_;  // where the comment and blank lines not yet given with a line begin
    while (!AtEnd()) {
      const size_t start = pos_;
      const Text<Char> line = NextLine();
      const Text<Char> body = TrimLeft(Content(line));
      if (body.empty() || body.front() == ';' || body.front() == '#') continue;
      if (body.front() == '[') {
        KeyLineOf(pending, start, line, body);
      } else if (body.front() == '"' || body.front() == '@') {
        ValueLines(pending, start, body);
      } else {
        throw RegFileError(line_, "expected a [key], a value or a comment, found " + Quote(Units(body)));
      }
      pending = pos_;
    }
    shape.trailer = Place(pending);
    return shape;
  }

 private:
  static bool Same(Text<Char> text, std::u16string_view ascii) {
    return text.size() == ascii.size() && std::equal(text.begin(), text.end(), ascii.begin());
  }

  // A position in the text as bytes from the file's start.
  size_t Place(size_t position) const { return offset_ + Bytes(position); }
  static size_t Bytes(size_t units) { return units * sizeof(Char); }
  size_t PlaceOf(Text<Char> part) const { return Place(static_cast<size_t>(part.data() - text_.data())); }
  Span SpanOf(Text<Char> part) const { return {PlaceOf(part), Bytes(part.size())}; }

  // Whether the text is read; at its end, a UTF-16 file cut in the middle
  // of a unit is refused.
  bool AtEnd() const {
    if (pos_ < text_.size()) return false;
    if (cut_) throw RegFileError(1, kUtf16Cut);
    return true;
  }

  // The next line with its line end; counts lines.
  Text<Char> NextLine() {
    const size_t end = syntax::FindLineEnd(text_, pos_);
    if (end == kNone && cut_) throw RegFileError(1, kUtf16Cut);
    const size_t next = end == kNone ? text_.size() : end + 1;
    if (inexact_.at < Place(next)) throw RegFileError(line_ + 1, inexact_.message);
    const Text<Char> line = text_.substr(pos_, next - pos_);
    pos_ = next;
    ++line_;
    return line;
  }

  void KeyLineOf(size_t pending, size_t start, Text<Char> line, Text<Char> body) {
    const size_t close = syntax::FindLastChar(body, ']');
    if (close == kNone) throw RegFileError(line_, "the key line lacks its closing ']'");
    if (!TrimLeft(body.substr(close + 1)).empty())
      throw RegFileError(line_, "text after the key's closing ']': " + Quote(Units(body.substr(close + 1))));
    Text<Char> path = body.substr(1, close - 1);
    const bool removal = !path.empty() && path.front() == '-';
    if (removal) path.remove_prefix(1);
    KeyLine key;
    key.line = line_;
    key.start = Place(pending);
    key.at = Place(start);
    key.end = PlaceOf(line) + Bytes(line.size());
    Parse(path, key);
    if (!removal) {
      events_.Section(key);
      inSection_ = sawSection_ = true;
      return;
    }
    // Removing what the file set earlier would drop those lines when the
    // file is written back; a removal of nothing stays as a line.
    if (!events_.KeyRemoval(key))
      throw RegFileError(line_, "the line removes the key " + Quote(Units(path)) +
                                    " that the file sets earlier; the file could not be written back as it is");
    inSection_ = false;
  }

  // The root and the names below it a key line gives.
  void Parse(Text<Char> path, KeyLine& key) const {
    const size_t slash = syntax::FindChar(path, '\\');
    const Text<Char> rootName = path.substr(0, slash);
    bool known = false;
    const auto findRoot = [&key, &known](const auto& same) {
      for (std::uint8_t r = 0; r < kRootCount && !known; ++r) {
        const RootName& names = NameOfRoot(r);
        if (same(names.longName) || same(names.shortName)) {
          key.root = r;
          key.spelling = same(names.longName) ? RootSpelling::kLong : RootSpelling::kShort;
          known = true;
        }
      }
    };
    // Most files spell the roots as regedit does: those are found without
    // comparing letter case.
    findRoot([rootName](std::u16string_view name) { return Same(rootName, name); });
    if (!known) {
      const std::u16string units = Units(rootName);
      findRoot([this, &units](std::u16string_view name) { return events_.SameName(units, name); });
    }
    if (!known) throw RegFileError(line_, "unknown root key " + Quote(Units(rootName)));
    const Text<Char> below = slash == kNone ? Text<Char>() : path.substr(slash + 1);
    key.below = slash == kNone ? Span{PlaceOf(path) + Bytes(path.size()), 0} : SpanOf(below);
    // Each name takes a unit and a separator but the last: a path shorter
    // than that many names cannot hold too many.
    size_t depth = 0;
    if ((below.size() + 1) / 2 > kDeepestKey) {
      for (size_t at = 0; at <= below.size();) {
        const size_t next = std::min(syntax::FindChar(below, '\\', at), below.size());
        if (next > at) ++depth;
        at = next + 1;
      }
    }
    if (depth > kDeepestKey)
      throw RegFileError(line_, "the key " + Quote(Units(path)) + " lies " + std::to_string(depth) +
                                    " levels below its root; Windows keeps keys at most " +
                                    std::to_string(kDeepestKey) + " levels deep");
  }

  // Reads a quoted text from just after its opening quote; `rest` is left
  // after the closing one.
  QuotedText Quoted(Text<Char>& rest, const char* what) {
    const syntax::Quoted quoted = syntax::ScanQuoted(
        rest, [](size_t, size_t) {}, [](char16_t) {});
    if (quoted.close == kNone) throw RegFileError(line_, std::string("the ") + what + " lacks its closing '\"'");
    QuotedText text;
    text.text = SpanOf(rest.substr(0, quoted.close));
    text.units = quoted.units;
    text.escaped = quoted.escaped;
    text.ascii = quoted.ascii;
    rest.remove_prefix(quoted.close + 1);
    return text;
  }

  // The units a quoted text read stands for.
  std::u16string Unquoted(const QuotedText& quoted) const {
    std::u16string units;
    // The text and its closing quote, which ends its last run.
    const Text<Char> text =
        text_.substr((quoted.text.at - offset_) / sizeof(Char), quoted.text.size / sizeof(Char) + 1);
    syntax::ScanQuoted(
        text, [&units, &text](size_t from, size_t to) { units += Units(text.substr(from, to - from)); },
        [&units](char16_t unit) { units.push_back(unit); });
    return units;
  }

  void ValueLines(size_t pending, size_t start, Text<Char> body) {
    if (!inSection_)
      throw RegFileError(
          line_, !sawSection_ ? "a value before the first [key]" : "a value after a [-key] removal belongs to no key");
    ValueLine value;
    value.line = line_;
    value.start = Place(pending);
    value.at = Place(start);
    value.atSign = body.front() == '@';
    Text<Char> rest = body.substr(1);
    if (!value.atSign) value.name = Quoted(rest, "value name");
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=')
      throw RegFileError(line_, "expected '=' after the value name, found " + Quote(Units(rest)));
    rest = TrimLeft(rest.substr(1));
    if (!rest.empty() && rest.front() == '-' && TrimRight(rest.substr(1)).empty()) {
      value.end = Place(pos_);
      if (!events_.ValueRemoval(value)) {
        const std::u16string name = NameOf(value);
        const std::string shown = name.empty() && value.atSign ? "the default value" : "the value " + Quote(name);
        throw RegFileError(line_, "the line removes " + shown +
                                      " that the file sets earlier; the file could not be written back as it is");
      }
      return;
    }
    value.type = kString;
    if (!rest.empty() && rest.front() == '"') {
      rest.remove_prefix(1);
      value.form = DataText::kQuoted;
      value.data = Quoted(rest, "string");
      if (!TrimRight(rest).empty())
        throw RegFileError(line_, "text after the string's closing '\"': " + Quote(Units(rest)));
      value.size = 2 * (value.data.units + 1);
    } else if (Same(rest.substr(0, 6), u"dword:")) {
      value.type = kDword;
      value.form = DataText::kDword;
      const Text<Char> digits = TrimRight(rest.substr(6));
      std::uint32_t n = 0;
      if (!syntax::DwordDigits(digits, n))
        throw RegFileError(line_, "a dword needs one to eight hex digits, found " + Quote(Units(digits)));
      value.data.text = SpanOf(digits);
      value.size = 4;
    } else if (Same(rest.substr(0, 3), u"hex")) {
      value.form = DataText::kHex;
      Hex(rest.substr(3), value);
    } else {
      throw RegFileError(line_, "unknown kind of value data " + Quote(Units(rest)));
    }
    value.line = line_;
    value.end = Place(pos_);
    events_.Value(value);
  }

  // The name of a value line, its escapes taken.
  std::u16string NameOf(const ValueLine& value) const { return value.atSign ? std::u16string() : Unquoted(value.name); }

  // "hex:" or "hex(N):" and its bytes, over continuation lines ending in "\".
  void Hex(Text<Char> rest, ValueLine& value) {
    value.type = kBinary;
    if (!rest.empty() && rest.front() == '(') {
      const size_t close = rest.find(')');
      const Text<Char> number = close == kNone ? rest : rest.substr(1, close - 1);
      if (close == kNone || number.empty() || number.size() > 8)
        throw RegFileError(line_, "a hex(N) type needs a hex number N, found " + Quote(Units(rest)));
      value.type = 0;
      for (Char c : number) {
        const int d = syntax::HexDigit(c);
        if (d < 0) throw RegFileError(line_, "a hex(N) type needs a hex number N, found " + Quote(Units(rest)));
        value.type = value.type << 4 | static_cast<std::uint32_t>(d);
      }
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != ':')
      throw RegFileError(line_, "expected ':' after hex, found " + Quote(Units(rest)));
    rest.remove_prefix(1);
    value.data.text.at = PlaceOf(rest);
    // REGEDIT4 files hold these strings in the ANSI code page: their size
    // is that of the UTF-16 they stand for.
    const bool ansi = regedit4_ && (value.type == kExpandString || value.type == kMultiString);
    bytes_.clear();
    size_t count = 0;
    // Whether the data is ASCII, as UTF-16LE units (a low byte below 0x80
    // and a high byte 0) or as ANSI bytes.
    unsigned char high = 0;
    const auto sink = [this, ansi, &count, &high](std::uint8_t byte) {
      high |= ansi || count % 2 == 0 ? byte & 0x80 : byte;
      ++count;
      if (ansi) bytes_.push_back(static_cast<char>(byte));
    };
    Text<Char> end = rest.substr(rest.size());
    for (;;) {
      bool more = false;
      Text<Char> bad;
      if (!syntax::HexBytes(syntax::HexPart(rest, more), sink, bad))
        throw RegFileError(line_, "bad hex byte " + Quote(Units(bad)));
      end = rest.substr(rest.size());
      if (!more) break;
      if (AtEnd()) throw RegFileError(line_, "the file ends inside a continued hex value");
      rest = TrimLeft(Content(NextLine()));
    }
    value.data.text.size = PlaceOf(end) - value.data.text.at;
    value.size = ansi ? 2 * Cp932ToUtf16(bytes_).size() : count;
    value.data.ascii = high == 0;
  }

  Text<Char> text_;
  size_t offset_;
  bool cut_;
  Inexact inexact_;
  RegFileLineEvents& events_;
  bool regedit4_ = false;
  size_t pos_ = 0;
  size_t line_ = 0;
  bool sawSection_ = false;
  bool inSection_ = false;  // a value line here belongs to the last [key]
  std::string bytes_;       // the bytes of a REGEDIT4 file's hex(2) or hex(7) value
};

}  // namespace

RegFileShape ReadRegFileLines(std::string_view bytes, RegFileLineEvents& events) {
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    return Reader<char16_t>(units, 2, bytes.size() % 2 != 0, {}, events).Run(Encoding::kUtf16);
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
    throw RegFileError(1, "UTF-8 .reg files are not read: save it as UTF-16 (regedit's form) or as REGEDIT4");
  return Reader<char>(bytes, 0, false, FindInexact(bytes), events).Run(Encoding::kCp932);
}

}  // namespace regfile
