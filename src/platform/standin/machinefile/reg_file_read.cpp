// Reading a .reg file into the key tree.
#include <algorithm>
#include <cstring>

#include "platform/standin/machinefile/reg_file.h"
#include "platform/standin/registry/upcase.h"
#include "platform/standin/win32/win32_standin.h"
#include "regfile/cp932.h"
#include "regfile/utf8.h"

namespace standin {
namespace {

constexpr std::u16string_view kRegedit5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kRegedit4 = u"REGEDIT4";

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

std::vector<std::uint8_t> LittleEndian(std::u16string_view text) {
  std::vector<std::uint8_t> out(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
  return out;
}

// The file's text a piece at a time, decoded from its bytes: UTF-16LE after
// a BOM, else code page 932. A character split between two pieces waits
// for the next.
class Decoder {
 public:
  explicit Decoder(const RegFileSource& read) : read_(read) {}

  FileEncoding encoding() const { return encoding_; }

  // Appends the next piece of text; false at the end of the file.
  bool More(std::u16string& text) {
    // The bytes of a character split by the last piece come first.
    size_t filled = carried_;
    size_t got = read_(bytes_.data() + filled, kPiece);
    filled += got;
    // The encoding is told by the first three bytes, however they come.
    while (!started_ && got != 0 && filled < kSignature) {
      got = read_(bytes_.data() + filled, kSignature - filled);
      filled += got;
    }
    std::string_view view(bytes_.data(), filled);
    if (view.empty()) return false;
    if (!started_) {
      started_ = true;
      if (view.substr(0, 2) == "\xFF\xFE") {
        encoding_ = FileEncoding::kUtf16;
        view.remove_prefix(2);
      } else if (view.substr(0, 3) == "\xEF\xBB\xBF") {
        throw RegFileError(1, "UTF-8 .reg files are not read: save it as UTF-16 (regedit's form) or as REGEDIT4");
      }
    }
    const size_t start = text.size();
    const size_t whole = got == 0 ? view.size() : CompletePrefix(view);
    const std::string_view rest = view.substr(whole);
    view = view.substr(0, whole);
    if (encoding_ == FileEncoding::kCp932) {
      size_t length = 0;
      const size_t bad = inexact_.empty() ? FirstInexactCp932(view, length) : std::string_view::npos;
      if (bad != std::string_view::npos) {
        AppendCp932AsUtf16(view.substr(0, bad), text);
        inexactAt_ = emitted_ + (text.size() - start);
        inexact_ = InexactMessage(view, bad, length);
        AppendCp932AsUtf16(view.substr(bad), text);
      } else {
        AppendCp932AsUtf16(view, text);
      }
    } else {
      if (view.size() % 2 != 0) throw RegFileError(1, "the UTF-16 file ends in the middle of a character");
      const size_t at = text.size();
      text.resize(at + view.size() / 2);
      for (size_t i = 0; i < view.size() / 2; ++i)
        text[at + i] = static_cast<char16_t>(static_cast<unsigned char>(view[2 * i]) |
                                             static_cast<unsigned char>(view[2 * i + 1]) << 8);
    }
    emitted_ += text.size() - start;
    std::copy(rest.begin(), rest.end(), bytes_.begin());
    carried_ = rest.size();
    return true;
  }

  // Whether the text before a position (in UTF-16 units from the start of
  // the file) holds bytes of a code page 932 file that could not be written
  // back as they are; the message says what was found.
  bool InexactBefore(size_t position) const { return !inexact_.empty() && inexactAt_ < position; }
  const std::string& inexact() const { return inexact_; }

 private:
  static constexpr size_t kPiece = 1 << 20;
  static constexpr size_t kSignature = 3;  // the longest byte-order mark

  // The bytes up to the last whole character.
  size_t CompletePrefix(std::string_view bytes) const {
    if (encoding_ == FileEncoding::kUtf16) return bytes.size() & ~size_t{1};
    size_t i = 0;
    while (i < bytes.size()) i += IsCp932LeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    return i > bytes.size() ? bytes.size() - 1 : bytes.size();
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
  FileEncoding encoding_ = FileEncoding::kCp932;
  size_t emitted_ = 0;  // UTF-16 units given so far
  size_t inexactAt_ = 0;
  std::string inexact_;
  bool started_ = false;
  // A piece, after the bytes carried: one of a split character, or up to
  // two of a byte-order mark still being read.
  std::string bytes_ = std::string(kPiece + kSignature, '\0');
  size_t carried_ = 0;
};

class Reader {
 public:
  Reader(Decoder& decoder, KeyTree& tree) : decoder_(decoder), tree_(tree) {}

  void Run() {
    std::u16string_view first = NextLine();
    const std::u16string_view signature = TrimRight(Content(first));
    if (signature == kRegedit4) {
      tree_.regedit4 = true;
    } else if (signature != kRegedit5) {
      throw RegFileError(1,
                         "not a registry file: the first line must be \"Windows Registry Editor Version 5.00\" "
                         "or \"REGEDIT4\"");
    }
    tree_.signature = std::u16string(Content(first));
    tree_.newline = std::u16string(first.substr(Content(first).size()));
    if (tree_.newline.empty()) tree_.newline = u"\r\n";
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
    tree_.trailer = std::move(pending_);
  }

 private:
  // The text is read a piece at a time into a window that starts at
  // `keep_`, the first line of what is being read. Positions count from the
  // start of the file; views into the window last until the next line.
  void Refill() {
    text_.erase(0, keep_ - base_);
    base_ = keep_;
    if (!decoder_.More(text_)) done_ = true;
  }

  bool AtEnd() {
    while (pos_ - base_ >= text_.size() && !done_) Refill();
    return pos_ - base_ >= text_.size();
  }

  // The next line with its line end; counts lines.
  std::u16string_view NextLine() {
    size_t end = text_.find(u'\n', pos_ - base_);
    while (end == std::u16string::npos && !done_) {
      // A long line is searched once, not again from its start after each piece.
      const size_t searched = text_.size() + base_;
      Refill();
      end = text_.find(u'\n', searched - base_);
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
    Key* key = Resolve(path, !removal);
    if (removal) {
      tree_.hadRemovals = true;
      // Removing what the file set earlier would drop those lines when the
      // file is written back; a removal of nothing stays as a line.
      if (key != nullptr && HasSection(*key))
        throw RegFileError(line_, "the line removes the key " + Quote(path) +
                                      " that the file sets earlier; the file could not be written back as it is");
      pending_ += line;
      current_ = -1;
      return;
    }
    current_ = tree_.AddSection(*key, root_, spelling_);
    scratch_.clear();
    AppendSectionHeader(scratch_, tree_, *key, root_, spelling_);
    const bool canonical = scratch_ == line;
    if (pending_ != tree_.newline || !canonical) {
      auto& text = tree_.sections[current_].text;
      text = std::make_unique<FileText>();
      text->leading = std::move(pending_);
      if (!canonical) text->raw = std::u16string(line);
    }
    pending_.clear();
  }

  // Whether a section of the file names the key or a key below it.
  static bool HasSection(const Key& key) {
    if (key.section >= 0) return true;
    return std::any_of(key.children.begin(), key.children.end(),
                       [](const std::unique_ptr<Key>& child) { return !child->deleted && HasSection(*child); });
  }

  // The key a path names; created when `create`, else null when missing.
  Key* Resolve(std::u16string_view path, bool create) {
    const size_t slash = path.find(u'\\');
    const std::u16string_view rootName = path.substr(0, slash);
    bool known = false;
    for (std::uint8_t r = 0; r < kRootCount && !known; ++r) {
      const RootName& names = NameOfRoot(r);
      if (SameName(rootName, names.longName) || SameName(rootName, names.shortName)) {
        root_ = r;
        spelling_ = SameName(rootName, names.longName) ? RootSpelling::kLong : RootSpelling::kShort;
        known = true;
      }
    }
    if (!known) throw RegFileError(line_, "unknown root key " + Quote(rootName));
    Key* key = tree_.Root(root_);
    if (slash == std::u16string_view::npos) return key;
    std::u16string_view rest = path.substr(slash + 1);
    while (!rest.empty() && key != nullptr) {
      const size_t next = rest.find(u'\\');
      const std::u16string_view part = rest.substr(0, next);
      // Doubled and trailing separators name no key of their own.
      if (!part.empty()) key = create ? tree_.Child(*key, part) : key->FindChild(part);
      rest = next == std::u16string_view::npos ? std::u16string_view() : rest.substr(next + 1);
    }
    return key;
  }

  // Reads a quoted text starting after its opening quote; `rest` is left
  // after the closing one.
  std::u16string QuotedText(std::u16string_view& rest, const char* what) {
    std::u16string out;
    for (size_t i = 0; i < rest.size(); ++i) {
      char16_t c = rest[i];
      if (c == u'"') {
        rest.remove_prefix(i + 1);
        return out;
      }
      if (c == u'\\' && i + 1 < rest.size()) {
        const char16_t e = rest[++i];
        switch (e) {
          case u'\\':
          case u'"':
            out.push_back(e);
            break;
          case u'n':
            out.push_back(u'\n');
            break;
          case u'r':
            out.push_back(u'\r');
            break;
          case u'0':
            out.push_back(u'\0');
            break;
          default:
            out.push_back(u'\\');
            out.push_back(e);
        }
        continue;
      }
      out.push_back(c);
    }
    throw RegFileError(line_, std::string("the ") + what + " lacks its closing '\"'");
  }

  void ValueLines(size_t start, std::u16string_view body) {
    if (current_ < 0)
      throw RegFileError(line_, tree_.sections.empty() ? "a value before the first [key]"
                                                       : "a value after a [-key] removal belongs to no key");
    std::u16string name;
    std::u16string_view rest;
    if (body.front() == u'@') {
      rest = body.substr(1);
    } else {
      rest = body.substr(1);
      name = QuotedText(rest, "value name");
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != u'=')
      throw RegFileError(line_, "expected '=' after the value name, found " + Quote(rest));
    rest = TrimLeft(rest.substr(1));
    Key& key = *tree_.sections[current_].key;

    const std::string shownName =
        name.empty() && body.front() == u'@' ? "the default value" : "the value " + Quote(name);
    if (!rest.empty() && rest.front() == u'-' && TrimRight(rest.substr(1)).empty()) {
      if (key.FindValue(name) != nullptr)
        throw RegFileError(line_, "the line removes " + shownName +
                                      " that the file sets earlier; the file could not be written back as it is");
      tree_.hadRemovals = true;
      pending_ += Since(start);
      return;
    }
    std::uint32_t type = REG_SZ;
    std::vector<std::uint8_t> data;
    if (!rest.empty() && rest.front() == u'"') {
      rest.remove_prefix(1);
      std::u16string text = QuotedText(rest, "string");
      if (!TrimRight(rest).empty()) throw RegFileError(line_, "text after the string's closing '\"': " + Quote(rest));
      text.push_back(u'\0');
      data = LittleEndian(text);
    } else if (rest.substr(0, 6) == u"dword:") {
      type = REG_DWORD;
      data = Dword(TrimRight(rest.substr(6)));
    } else if (rest.substr(0, 3) == u"hex") {
      data = Hex(rest.substr(3), type);
    } else {
      throw RegFileError(line_, "unknown kind of value data " + Quote(rest));
    }
    const std::u16string_view raw = Since(start);
    if (Value* earlier = key.FindValue(name)) {
      SetAgain(key, *earlier, type, data, raw);
      return;
    }
    tree_.SetValue(key, name, type, std::move(data));
    Value& value = *key.FindValue(name);
    value.section = current_;
    KeepText(value, raw);
  }

  // A value the file set before for the same key, set again as regedit
  // merges it. Every setting keeps its lines as written: the value's own
  // entry now holds the last setting's data, so it keeps the first
  // setting's to write its lines from.
  void SetAgain(Key& key, Value& earlier, std::uint32_t type, std::span<const std::uint8_t> data,
                std::u16string_view raw) {
    if (earlier.text == nullptr) earlier.text = std::make_unique<FileText>();
    FileText& first = *earlier.text;
    if (first.raw.empty() && !first.keepsFirst) {
      first.keepsFirst = true;
      first.firstType = earlier.type;
      first.firstData = earlier.data.data();
      first.firstSize = static_cast<std::uint32_t>(earlier.data.size());
    }
    KeepText(tree_.SetAgain(key, earlier, type, data, current_), raw);
  }

  // Gives a value read the comment lines before it and its own lines when
  // the canonical form would write them otherwise.
  void KeepText(Value& value, std::u16string_view raw) {
    scratch_.clear();
    AppendValue(scratch_, value, tree_.regedit4, tree_.newline);
    const bool canonical = scratch_ == raw;
    if (!pending_.empty() || !canonical) {
      value.text = std::make_unique<FileText>();
      value.text->leading = std::move(pending_);
      if (!canonical) value.text->raw = std::u16string(raw);
    }
    pending_.clear();
  }

  std::vector<std::uint8_t> Dword(std::u16string_view digits) {
    if (digits.empty() || digits.size() > 8)
      throw RegFileError(line_, "a dword needs one to eight hex digits, found " + Quote(digits));
    std::uint32_t n = 0;
    for (char16_t c : digits) {
      const int d = HexDigit(c);
      if (d < 0) throw RegFileError(line_, "a dword needs one to eight hex digits, found " + Quote(digits));
      n = n << 4 | static_cast<std::uint32_t>(d);
    }
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 24)};
  }

  // "hex:" or "hex(N):" and its bytes, over continuation lines ending in "\".
  std::vector<std::uint8_t> Hex(std::u16string_view rest, std::uint32_t& type) {
    type = REG_BINARY;
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
    std::vector<std::uint8_t> bytes;
    for (;;) {
      std::u16string_view part = TrimRight(rest);
      const bool more = !part.empty() && part.back() == u'\\';
      if (more) part.remove_suffix(1);
      HexBytes(part, bytes);
      if (!more) break;
      if (AtEnd()) throw RegFileError(line_, "the file ends inside a continued hex value");
      rest = TrimLeft(Content(NextLine()));
    }
    if (tree_.regedit4 && (type == REG_EXPAND_SZ || type == REG_MULTI_SZ))
      return LittleEndian(Cp932ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    return bytes;
  }

  // Bytes of one line: one or two hex digits each, separated by commas.
  void HexBytes(std::u16string_view part, std::vector<std::uint8_t>& bytes) {
    if (TrimLeft(part).empty()) return;
    for (;;) {
      const size_t comma = part.find(u',');
      const std::u16string_view token = TrimRight(TrimLeft(part.substr(0, comma)));
      const int high = token.empty() ? -1 : HexDigit(token[0]);
      const int low = token.size() == 2 ? HexDigit(token[1]) : 0;
      if (token.size() > 2 || high < 0 || low < 0) throw RegFileError(line_, "bad hex byte " + Quote(token));
      bytes.push_back(static_cast<std::uint8_t>(token.size() == 2 ? high << 4 | low : high));
      if (comma == std::u16string_view::npos) return;
      part = part.substr(comma + 1);
      // A comma may end a line that continues on the next.
      if (TrimLeft(part).empty()) return;
    }
  }

  Decoder& decoder_;
  KeyTree& tree_;
  std::u16string text_;  // the window
  size_t base_ = 0;      // where the window starts in the file
  size_t keep_ = 0;
  bool done_ = false;
  size_t pos_ = 0;
  size_t line_ = 0;
  std::u16string pending_;  // comment and blank lines not yet given to a key or value
  std::u16string scratch_;  // the canonical form of the line just read
  std::int32_t current_ = -1;
  std::uint8_t root_ = kLocalMachine;
  RootSpelling spelling_ = RootSpelling::kLong;
};

}  // namespace

std::unique_ptr<KeyTree> ReadRegFile(const RegFileSource& read) {
  auto tree = std::make_unique<KeyTree>();
  Decoder decoder(read);
  Reader(decoder, *tree).Run();
  tree->encoding = decoder.encoding();
  tree->changed = false;
  return tree;
}

std::unique_ptr<KeyTree> ReadRegFile(std::string_view bytes) {
  return ReadRegFile([&bytes](char* buffer, size_t size) {
    const size_t n = std::min(size, bytes.size());
    std::copy_n(bytes.data(), n, buffer);
    bytes.remove_prefix(n);
    return n;
  });
}

}  // namespace standin
