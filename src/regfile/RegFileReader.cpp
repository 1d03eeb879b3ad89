#include "regfile/RegFileReader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "regfile/Cp932.h"
#include "regfile/RegType.h"
#include "regfile/RegValueText.h"
#include "regfile/Utf16le.h"
#include "regfile/Utf8.h"

namespace regfile {
namespace {

using regfile::Cp932CanHold;
using regfile::Cp932ToUtf16;
using regfile::Cp932ToUtf16Units;
using regfile::FirstInexactCp932;
using regfile::IsCp932LeadByte;
using regfile::Utf16ToCp932;
using regfile::Utf16ToUtf8;

// A short quotation of the text an error points at.
std::string Quote(std::u16string_view text) {
  constexpr size_t kLongest = 40;
  std::string q = Utf16ToUtf8(text.substr(0, kLongest));
  return "'" + q + (text.size() > kLongest ? "...'" : "'");
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimLeft(std::u16string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  return s;
}

std::u16string_view TrimRight(std::u16string_view s) {
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Where the next line end ('\n') lies at or after `from`, or npos. The
// library's byte search finds each byte 0x0A; a line end is the unit that
// holds one and is '\n' (other units hold such a byte seldom).
size_t FindLineEnd(std::u16string_view text, size_t from) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size() * sizeof(char16_t);
  for (size_t at = from * sizeof(char16_t); at < size;) {
    const void* found = std::memchr(bytes + at, '\n', size - at);
    if (found == nullptr) break;
    const auto byte = static_cast<size_t>(static_cast<const unsigned char*>(found) - bytes);
    if (text[byte / sizeof(char16_t)] == u'\n') return byte / sizeof(char16_t);
    at = byte + 1;
  }
  return std::u16string_view::npos;
}

// The text read and not yet parsed: its storage grows only for a line
// longer than a piece, and is filled without being cleared first.
class TextWindow {
 public:
  const char16_t* data() const { return units_.get(); }
  size_t size() const { return size_; }
  std::u16string_view view() const { return {units_.get(), size_}; }

  // Room for `count` more units after the text.
  char16_t* Room(size_t count) {
    if (size_ + count > capacity_) {
      const size_t capacity = std::max(2 * capacity_, size_ + count);
      auto units = std::make_unique_for_overwrite<char16_t[]>(capacity);
      if (size_ != 0) std::memcpy(units.get(), units_.get(), size_ * sizeof(char16_t));
      units_ = std::move(units);
      capacity_ = capacity;
    }
    return units_.get() + size_;
  }
  // Takes `count` units written into the room as text.
  void Grow(size_t count) { size_ += count; }
  void DropFront(size_t count) {
    if (count != 0 && count != size_)
      std::memmove(units_.get(), units_.get() + count, (size_ - count) * sizeof(char16_t));
    size_ -= count;
  }

 private:
  std::unique_ptr<char16_t[]> units_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

std::string EncodeCp932(std::u16string_view text) { return Utf16ToCp932(text); }

const TAnsiForm kCp932Form{Cp932CanHold, EncodeCp932};

// The file's text a piece at a time, decoded from its bytes: UTF-16LE after
// a BOM, else code page 932. A character split between two pieces waits
// for the next.
class Decoder {
 public:
  explicit Decoder(const RegFileSource& read) : read_(read) {}

  Encoding encoding() const { return encoding_; }

  // Appends the next piece of text; false at the end of the file.
  bool More(TextWindow& text) {
    if (!started_) return Start(text);
    if (encoding_ == Encoding::kUtf16) return MoreUtf16(text);
    const size_t got = read_(bytes_.data() + carried_, kPiece);
    return TakeCp932(text, carried_ + got, got == 0);
  }

  // Whether the text before a position (in UTF-16 units from the start of
  // the file) holds bytes of a code page 932 file that could not be written
  // back as they are; the message says what was found.
  bool InexactBefore(size_t position) const { return !inexact_.empty() && inexactAt_ < position; }
  const std::string& inexact() const { return inexact_; }

 private:
  static constexpr size_t kPiece = 1 << 20;
  static constexpr size_t kSignature = 3;  // the longest byte-order mark
  static constexpr const char* kUtf16Cut = "the UTF-16 file ends in the middle of a character";

  // Reads the first piece; its first bytes tell the encoding, however they come.
  bool Start(TextWindow& text) {
    started_ = true;
    size_t got = read_(bytes_.data(), kPiece);
    size_t filled = got;
    while (got != 0 && filled < kSignature) {
      got = read_(bytes_.data() + filled, kSignature - filled);
      filled += got;
    }
    const std::string_view piece(bytes_.data(), filled);
    if (piece.empty()) return false;
    if (piece.substr(0, 2) == "\xFF\xFE") {
      encoding_ = Encoding::kUtf16;
      const std::string_view bytes = piece.substr(2);
      if (got == 0 && bytes.size() % 2 != 0) throw RegFileError(1, kUtf16Cut);
      carried_ = bytes.size() % 2;
      char16_t* units = text.Room(bytes.size() / 2 + 1);
      std::memcpy(units, bytes.data(), bytes.size() - carried_);
      std::copy_n(bytes.end() - carried_, carried_, bytes_.data());
      Take(text, units, bytes.size() / 2);
      return true;
    }
    if (piece.substr(0, 3) == "\xEF\xBB\xBF")
      throw RegFileError(1, "UTF-8 .reg files are not read: save it as UTF-16 (regedit's form) or as REGEDIT4");
    return TakeCp932(text, filled, got == 0);
  }

  // UTF-16LE is read straight into the window, a byte of a unit split by
  // the last piece first.
  bool MoreUtf16(TextWindow& text) {
    char16_t* units = text.Room(kPiece / 2 + 1);
    auto* bytes = reinterpret_cast<char*>(units);
    std::copy_n(bytes_.data(), carried_, bytes);
    const size_t got = read_(bytes + carried_, kPiece);
    const size_t filled = carried_ + got;
    if (filled == 0) return false;
    if (got == 0) throw RegFileError(1, kUtf16Cut);
    carried_ = filled % 2;
    std::copy_n(bytes + filled - carried_, carried_, bytes_.data());
    Take(text, units, filled / 2);
    return true;
  }

  // Takes UTF-16LE units read into the window's room as text.
  void Take(TextWindow& text, char16_t* units, size_t count) {
    Utf16LeToUnits(units, count);
    text.Grow(count);
    emitted_ += count;
  }

  // Converts the code page 932 piece of `filled` bytes (those carried and
  // those read) into the window; a character split at its end waits for the
  // next piece unless the file ends there.
  bool TakeCp932(TextWindow& text, size_t filled, bool atEnd) {
    std::string_view view(bytes_.data(), filled);
    if (view.empty()) return false;
    const size_t whole = atEnd ? view.size() : CompletePrefix(view);
    const std::string_view rest = view.substr(whole);
    view = view.substr(0, whole);
    char16_t* units = text.Room(view.size());
    size_t length = 0;
    const size_t bad = inexact_.empty() ? FirstInexactCp932(view, length) : std::string_view::npos;
    size_t converted = 0;
    if (bad != std::string_view::npos) {
      converted = Cp932ToUtf16Units(view.substr(0, bad), units);
      inexactAt_ = emitted_ + converted;
      inexact_ = InexactMessage(view, bad, length);
      view.remove_prefix(bad);
    }
    converted += Cp932ToUtf16Units(view, units + converted);
    text.Grow(converted);
    emitted_ += converted;
    std::copy(rest.begin(), rest.end(), bytes_.begin());
    carried_ = rest.size();
    return true;
  }

  // The code page 932 bytes up to the last whole character. A byte that
  // cannot lead a character ends one: the lead bytes after the last such
  // byte pair up, and an odd one out starts a character the next piece ends.
  static size_t CompletePrefix(std::string_view bytes) {
    size_t leads = 0;
    while (leads < bytes.size() && IsCp932LeadByte(static_cast<unsigned char>(bytes[bytes.size() - 1 - leads])))
      ++leads;
    return bytes.size() - leads % 2;
  }

  static std::string Hex(std::string_view bytes) {
    std::string out;
    for (unsigned char b : bytes) {
      static constexpr char kDigits[] = "0123456789ABCDEF";
      out += out.empty() ? "0x" : " 0x";
      out += kDigits[b >> 4];
      out += kDigits[b & 15];
    }
    return out;
  }

  // What is wrong with the character at `at` of a piece. A file that is
  // UTF-8 (a .reg file saved by a text editor) is told so, with the whole
  // UTF-8 character.
  static std::string InexactMessage(std::string_view piece, size_t at, size_t length) {
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

  static size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    return 2;
  }

  // Valid UTF-8 with at least one character outside ASCII; a character cut
  // at the end of the piece counts as valid.
  static bool LooksLikeUtf8(std::string_view bytes) {
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

  const RegFileSource& read_;
  Encoding encoding_ = Encoding::kCp932;
  size_t emitted_ = 0;  // UTF-16 units given so far
  size_t inexactAt_ = 0;
  std::string inexact_;
  bool started_ = false;
  // The first piece, and each piece of code page 932 after the bytes
  // carried (those of a split character); for UTF-16 after the first,
  // only the byte carried.
  std::string bytes_ = std::string(kPiece + kSignature, '\0');
  size_t carried_ = 0;
};

class Parser {
 public:
  Parser(Decoder& decoder, RegFileEvents& events) : decoder_(decoder), events_(events) {}

  void Run() {
    std::u16string_view first = NextLine();
    const std::u16string_view signature = TrimRight(Content(first));
    if (signature == kRegedit4) {
      regedit4_ = true;
    } else if (signature != kRegedit5) {
      throw RegFileError(1,
                         "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" "
                         "or \"REGEDIT4\"");
    }
    newline_ = first.substr(Content(first).size());
    if (newline_.empty()) newline_ = u"\r\n";
    events_.Signature(Content(first), newline_, regedit4_);
    while (!AtEnd()) {
      const size_t start = keep_ = pos_;
      std::u16string_view line = NextLine();
      std::u16string_view body = TrimLeft(Content(line));
      if (body.empty() || body.front() == u';' || body.front() == u'#') {
        pending_ += line;
      } else if (body.front() == u'[') {
        KeyLine(line, body);
      } else if (body.front() == u'"' || body.front() == u'@') {
        ValueLines(start, body);
      } else {
        throw RegFileError(line_, "expected a [key], a value or a comment, found " + Quote(body));
      }
    }
    events_.End(pending_, decoder_.encoding());
  }

 private:
  // The text is read a piece at a time into a window that starts at
  // `keep_`, the first line of what is being read. Positions count from the
  // start of the file; views into the window last until the next line.
  void Refill() {
    text_.DropFront(keep_ - base_);
    base_ = keep_;
    if (!decoder_.More(text_)) done_ = true;
  }

  bool AtEnd() {
    while (pos_ - base_ >= text_.size() && !done_) Refill();
    return pos_ - base_ >= text_.size();
  }

  // The next line with its line end; counts lines.
  std::u16string_view NextLine() {
    size_t end = FindLineEnd(text_.view(), pos_ - base_);
    while (end == std::u16string::npos && !done_) {
      // A long line is searched once, not again from its start after each piece.
      const size_t searched = text_.size() + base_;
      Refill();
      end = FindLineEnd(text_.view(), searched - base_);
    }
    const size_t next = end == std::u16string::npos ? text_.size() : end + 1;
    if (decoder_.InexactBefore(base_ + next)) throw RegFileError(line_ + 1, decoder_.inexact());
    std::u16string_view line(text_.data() + (pos_ - base_), next - (pos_ - base_));
    pos_ = base_ + next;
    ++line_;
    return line;
  }

  // The text from an earlier position to the current one.
  std::u16string_view Since(size_t start) const { return {text_.data() + (start - base_), pos_ - start}; }

  static std::u16string_view Content(std::u16string_view line) {
    if (!line.empty() && line.back() == u'\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    return line;
  }

  void KeyLine(std::u16string_view line, std::u16string_view body) {
    const size_t close = body.rfind(u']');
    if (close == std::u16string_view::npos) throw RegFileError(line_, "the key line lacks its closing ']'");
    if (!TrimLeft(body.substr(close + 1)).empty())
      throw RegFileError(line_, "text after the key's closing ']': " + Quote(body.substr(close + 1)));
    std::u16string_view path = body.substr(1, close - 1);
    const bool removal = !path.empty() && path.front() == u'-';
    if (removal) path.remove_prefix(1);
    const KeyPath key = Parse(path);
    if (removal) {
      // Removing what the file set earlier would drop those lines when the
      // file is written back; a removal of nothing stays as a line.
      if (!events_.KeyRemoval(line_, key, line, pending_))
        throw RegFileError(line_, "the line removes the key " + Quote(path) +
                                      " that the file sets earlier; the file could not be written back as it is");
      inSection_ = false;
    } else {
      events_.Section(line_, key, line, pending_);
      inSection_ = sawSection_ = true;
    }
    pending_.clear();
  }

  // The root and the names below it a key line gives.
  KeyPath Parse(std::u16string_view path) const {
    const size_t slash = path.find(u'\\');
    const std::u16string_view rootName = path.substr(0, slash);
    KeyPath key;
    bool known = false;
    const auto findRoot = [&key, &known, rootName](const auto& same) {
      for (std::uint8_t r = 0; r < kRootCount && !known; ++r) {
        const RootName& names = NameOfRoot(r);
        if (same(rootName, names.longName) || same(rootName, names.shortName)) {
          key.root = r;
          key.spelling = same(rootName, names.longName) ? RootSpelling::kLong : RootSpelling::kShort;
          known = true;
        }
      }
    };
    // Most files spell the roots as regedit does: those are found without
    // comparing letter case.
    findRoot(SameUnits);
    if (!known) findRoot([this](std::u16string_view a, std::u16string_view b) { return events_.SameName(a, b); });
    if (!known) throw RegFileError(line_, "unknown root key " + Quote(rootName));
    if (slash != std::u16string_view::npos) key.below = path.substr(slash + 1);
    // Each name takes a unit and a separator but the last: a path shorter
    // than that many names cannot hold too many.
    size_t depth = 0;
    if ((key.below.size() + 1) / 2 > kDeepestKey) ForEachName(key.below, [&depth](std::u16string_view) { ++depth; });
    if (depth > kDeepestKey)
      throw RegFileError(line_, "the key " + Quote(path) + " lies " + std::to_string(depth) +
                                    " levels below its root; Windows keeps keys at most " +
                                    std::to_string(kDeepestKey) + " levels deep");
    return key;
  }

  // What a quoted text held, as written: enough to tell, for most lines,
  // that regedit would write them back as they are.
  struct Quoted {
    size_t length = 0;       // the units between the quotes
    bool rewritten = true;   // escaping what was read, as regedit does, gives these units back
    bool lineBreak = false;  // it holds an escaped line break or NUL
  };

  // Reads a quoted text starting after its opening quote into `out`; `rest`
  // is left after the closing one.
  Quoted QuotedText(std::u16string_view& rest, const char* what, std::u16string& out) {
    out.clear();
    Quoted quoted;
    size_t run = 0;  // the start of the units taken as they are
    for (size_t i = 0; i < rest.size(); ++i) {
      // Runs without '"', '\\', '\r' or NUL are passed over four units at a time.
      while (i + 4 <= rest.size() && !MayEndPlainRun(rest.data() + i)) i += 4;
      if (i == rest.size()) break;
      const char16_t c = rest[i];
      // regedit escapes these; written as they are, they are not its form.
      if (c == u'\r' || c == u'\0') quoted.rewritten = false;
      if (c != u'"' && c != u'\\') continue;
      out.append(rest.data() + run, i - run);
      run = i + 1;
      if (c == u'"') {
        quoted.length = i;
        rest.remove_prefix(i + 1);
        return quoted;
      }
      if (i + 1 == rest.size()) {
        // A "\" that ends the line stands for itself.
        out.push_back(c);
        continue;
      }
      const char16_t e = rest[++i];
      run = i + 1;
      switch (e) {
        case u'\\':
        case u'"':
          out.push_back(e);
          break;
        case u'n':
          out.push_back(u'\n');
          quoted.lineBreak = true;
          break;
        case u'r':
          out.push_back(u'\r');
          quoted.lineBreak = true;
          break;
        case u'0':
          out.push_back(u'\0');
          quoted.lineBreak = true;
          break;
        default:
          out.push_back(u'\\');
          out.push_back(e);
          quoted.rewritten = false;
      }
    }
    throw RegFileError(line_, std::string("the ") + what + " lacks its closing '\"'");
  }

  void ValueLines(size_t start, std::u16string_view body) {
    if (!inSection_)
      throw RegFileError(
          line_, !sawSection_ ? "a value before the first [key]" : "a value after a [-key] removal belongs to no key");
    name_.clear();
    std::u16string_view rest = body.substr(1);
    Quoted name;
    if (body.front() == u'"') name = QuotedText(rest, "value name", name_);
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != u'=')
      throw RegFileError(line_, "expected '=' after the value name, found " + Quote(rest));
    rest = TrimLeft(rest.substr(1));

    if (!rest.empty() && rest.front() == u'-' && TrimRight(rest.substr(1)).empty()) {
      if (!events_.ValueRemoval(line_, name_, Since(start), pending_)) {
        const std::string shown =
            name_.empty() && body.front() == u'@' ? "the default value" : "the value " + Quote(name_);
        throw RegFileError(line_, "the line removes " + shown +
                                      " that the file sets earlier; the file could not be written back as it is");
      }
      pending_.clear();
      return;
    }
    std::uint32_t type = regfile::kString;
    // The length regedit's own form of the line would have, without its
    // line end, when what was read surely gives that form; else 0.
    size_t ownForm = 0;
    const bool nameOwnForm = name.rewritten && name.length > 0;  // "" is written @
    if (!rest.empty() && rest.front() == u'"') {
      rest.remove_prefix(1);
      const Quoted quoted = QuotedText(rest, "string", string_);
      if (!TrimRight(rest).empty()) throw RegFileError(line_, "text after the string's closing '\"': " + Quote(rest));
      string_.push_back(u'\0');
      Utf16LeBytes(string_, data_);
      // The code page holds every character of a REGEDIT4 line read: the
      // decoder refuses a line with bytes it could not write back.
      if (nameOwnForm && quoted.rewritten && !quoted.lineBreak)
        ownForm = 5 + name.length + quoted.length;  // "NAME"="DATA"
    } else if (rest.substr(0, 6) == u"dword:") {
      type = regfile::kDword;
      const std::u16string_view digits = TrimRight(rest.substr(6));
      Dword(digits);
      const auto lowerHex = [](char16_t c) { return HexDigit(c) >= 0 && (c < u'A' || c > u'F'); };
      if (nameOwnForm && digits.size() == 8 && std::all_of(digits.begin(), digits.end(), lowerHex))
        ownForm = 3 + name.length + 14;  // "NAME"=dword:dddddddd
    } else if (rest.substr(0, 3) == u"hex") {
      Hex(rest.substr(3), type);
    } else {
      throw RegFileError(line_, "unknown kind of value data " + Quote(rest));
    }
    regfile::ValueLines value;
    value.name = name_;
    value.type = type;
    value.data = data_;
    value.text = Since(start);
    // A line of that length, from its first column to a line end as the
    // file's first, holds nothing beside what was read: no space, no other
    // line end. Other lines are written in regedit's form and compared.
    value.canonical = ownForm != 0 && value.text.size() == ownForm + newline_.size() && value.text.front() == u'"' &&
                      SameUnits(value.text.substr(ownForm), newline_);
    if (!value.canonical) {
      scratch_.clear();
      AppendRegValue(scratch_, value.name, value.type, value.data, newline_, regedit4_ ? &kCp932Form : nullptr);
      value.canonical = SameUnits(scratch_, value.text);
    }
    events_.Value(line_, value, pending_);
    pending_.clear();
  }

  void Dword(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 8)
      throw RegFileError(line_, "a dword needs one to eight hex digits, found " + Quote(digits));
    std::uint32_t n = 0;
    for (char16_t c : digits) {
      const int d = HexDigit(c);
      if (d < 0) throw RegFileError(line_, "a dword needs one to eight hex digits, found " + Quote(digits));
      n = n << 4 | static_cast<std::uint32_t>(d);
    }
    data_ = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
             static_cast<std::uint8_t>(n >> 24)};
  }

  // "hex:" or "hex(N):" and its bytes, over continuation lines ending in "\".
  void Hex(std::u16string_view rest, std::uint32_t& type) {
    type = regfile::kBinary;
    if (!rest.empty() && rest.front() == u'(') {
      const size_t close = rest.find(u')');
      const std::u16string_view number = close == std::u16string_view::npos ? rest : rest.substr(1, close - 1);
      if (close == std::u16string_view::npos || number.empty() || number.size() > 8)
        throw RegFileError(line_, "a hex(N) type needs a hex number N, found " + Quote(rest));
      type = 0;
      for (char16_t c : number) {
        const int d = HexDigit(c);
        if (d < 0) throw RegFileError(line_, "a hex(N) type needs a hex number N, found " + Quote(rest));
        type = type << 4 | static_cast<std::uint32_t>(d);
      }
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != u':') throw RegFileError(line_, "expected ':' after hex, found " + Quote(rest));
    rest.remove_prefix(1);
    data_.clear();
    for (;;) {
      std::u16string_view part = TrimRight(rest);
      const bool more = !part.empty() && part.back() == u'\\';
      if (more) part.remove_suffix(1);
      HexBytes(part);
      if (!more) break;
      if (AtEnd()) throw RegFileError(line_, "the file ends inside a continued hex value");
      rest = TrimLeft(Content(NextLine()));
    }
    // REGEDIT4 files hold these strings in the ANSI code page.
    if (regedit4_ && (type == regfile::kExpandString || type == regfile::kMultiString))
      Utf16LeBytes(Cp932ToUtf16(std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size())), data_);
  }

  // Bytes of one line: one or two hex digits each, separated by commas.
  void HexBytes(std::u16string_view part) {
    // Most bytes are two digits and a comma with more after it: taken at once.
    while (part.size() >= 4 && part[2] == u',' && !IsSpace(part[3])) {
      const int high = HexDigit(part[0]);
      const int low = HexDigit(part[1]);
      if (high < 0 || low < 0) break;
      data_.push_back(static_cast<std::uint8_t>(high << 4 | low));
      part.remove_prefix(3);
    }
    if (TrimLeft(part).empty()) return;
    for (;;) {
      const size_t comma = part.find(u',');
      const std::u16string_view token = TrimRight(TrimLeft(part.substr(0, comma)));
      const int high = token.empty() ? -1 : HexDigit(token[0]);
      const int low = token.size() == 2 ? HexDigit(token[1]) : 0;
      if (token.size() > 2 || high < 0 || low < 0) throw RegFileError(line_, "bad hex byte " + Quote(token));
      data_.push_back(static_cast<std::uint8_t>(token.size() == 2 ? high << 4 | low : high));
      if (comma == std::u16string_view::npos) return;
      part = part.substr(comma + 1);
      // A comma may end a line that continues on the next.
      if (TrimLeft(part).empty()) return;
    }
  }

  Decoder& decoder_;
  RegFileEvents& events_;
  bool regedit4_ = false;
  std::u16string newline_;
  TextWindow text_;  // the window
  size_t base_ = 0;  // where the window starts in the file
  size_t keep_ = 0;
  bool done_ = false;
  size_t pos_ = 0;
  size_t line_ = 0;
  bool sawSection_ = false;
  bool inSection_ = false;  // a value line here belongs to the last [key]
  std::u16string pending_;  // comment and blank lines not yet given with a line
  // The value being read, reused from one to the next.
  std::u16string name_;
  std::u16string string_;
  std::vector<std::uint8_t> data_;
  std::u16string scratch_;  // the canonical form of the value just read
};

}  // namespace

void ReadRegFile(const RegFileSource& read, RegFileEvents& events) {
  Decoder decoder(read);
  Parser(decoder, events).Run();
}

}  // namespace regfile
