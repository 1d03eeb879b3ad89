// Randomized machines, fixed seeds, run through the built program with OK:
// valid .reg files in both encodings with keys in random order and letter
// case, keys named in several sections, values set more than once, names and data from all of Unicode
// (unpaired surrogates in UTF-16 files) and arbitrary bytes in REGEDIT4
// strings. Each file is either refused before any dialog, naming the file
// and the line, and left byte for byte; or cleaned, and then a reading of
// its own here (not the stand-in's reader) of before and after differs by
// exactly what --preview listed, and every line of after is a line of
// before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/Files.h"
#include "support/RandomMachine.h"
#include "support/Records.h"

namespace {

using random_machine::kProductCodes;
using random_machine::Random;

// A file's text as units: UTF-16 code units for a UTF-16 file; for a code
// page 932 file each single byte is a unit and each lead byte with the byte
// after it one unit, lead << 8 | trail, so that a trail byte "\" is never
// taken for an escape.
using Units = std::u16string;

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

Units Decode(const std::string& bytes, bool utf16) {
  Units out;
  if (utf16) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
      out.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (IsLead(b) && i + 1 < bytes.size())
      out.push_back(static_cast<char16_t>(b << 8 | static_cast<unsigned char>(bytes[++i])));
    else
      out.push_back(b);
  }
  return out;
}

std::string Encode(const Units& units, bool utf16) {
  std::string out = utf16 ? "\xFF\xFE" : "";
  for (char16_t u : units) {
    if (utf16) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    } else {
      if (u > 0xFF) out.push_back(static_cast<char>(u >> 8));
      out.push_back(static_cast<char>(u & 0xFF));
    }
  }
  return out;
}

Units Ascii(std::string_view text) { return Units(text.begin(), text.end()); }

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

Units Upper(Units s) {
  for (auto& c : s) c = UpperAscii(c);
  return s;
}

// ---- The independent reading: keys by upper-cased full path, each with
// its values by upper-cased name and their data as written.

using Values = std::map<Units, Units>;
using Model = std::map<Units, Values>;

Units RootOf(const Units& name) {
  const Units n = Upper(name);
  if (n == Ascii("HKLM") || n == Ascii("HKEY_LOCAL_MACHINE")) return Ascii("HKEY_LOCAL_MACHINE");
  if (n == Ascii("HKCR") || n == Ascii("HKEY_CLASSES_ROOT")) return Ascii("HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES");
  if (n == Ascii("HKCU") || n == Ascii("HKEY_CURRENT_USER")) return Ascii("HKEY_CURRENT_USER");
  if (n == Ascii("HKU") || n == Ascii("HKEY_USERS")) return Ascii("HKEY_USERS");
  return Ascii("HKEY_CURRENT_CONFIG");
}

// "ROOT\a\b" as the model names it; the names' case folded (ASCII only: the
// files below differ in the case of ASCII letters only).
Units KeyPath(const Units& written) {
  const size_t slash = written.find(u'\\');
  Units path = RootOf(written.substr(0, slash));
  if (slash == Units::npos) return path;
  size_t start = slash + 1;
  while (start <= written.size()) {
    size_t end = written.find(u'\\', start);
    if (end == Units::npos) end = written.size();
    if (end > start) path += u'\\' + Upper(written.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

void AddKey(Model& model, const Units& path) {
  for (size_t at = path.find(u'\\'); at != Units::npos; at = path.find(u'\\', at + 1)) model[path.substr(0, at)];
  model[path];
}

std::vector<Units> Lines(const Units& text) {
  std::vector<Units> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    end = end == Units::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

Units Chomp(Units line) {
  if (!line.empty() && line.back() == u'\n') line.pop_back();
  if (!line.empty() && line.back() == u'\r') line.pop_back();
  return line;
}

Model Read(const Units& text) {
  Model model;
  const std::vector<Units> lines = Lines(text);
  Units key;
  for (size_t i = 1; i < lines.size(); ++i) {
    const Units line = Chomp(lines[i]);
    if (line.empty() || line[0] == u';') continue;
    if (line[0] == u'[') {
      const Units inside = line.substr(1, line.rfind(u']') - 1);
      if (inside[0] == u'-') {
        key.clear();
        continue;
      }
      key = KeyPath(inside);
      AddKey(model, key);
      continue;
    }
    // A value: its name unescaped, its data as written over all its lines.
    Units name;
    size_t at = 1;
    if (line[0] == u'"') {
      for (; line[at] != u'"'; ++at) {
        if (line[at] == u'\\' && (line[at + 1] == u'\\' || line[at + 1] == u'"')) ++at;
        name += line[at];
      }
      ++at;
    }
    Units data = line.substr(at + 1);
    while (!data.empty() && data.back() == u'\\' && data.find(u'"') == Units::npos) data += Chomp(lines[++i]);
    model[key][Upper(name)] = data;
  }
  return model;
}

// ---- The preview: tab-separated lines, "key", the path, ...; or "value",
// the key's path, the name in quotes, ...

// A field of the preview, unescaped as docs/deploying.md says: the exact
// units of the name.
Units FromField(const std::string& field, bool utf16) {
  Units out = UnescapedUnits(field);
  for (char16_t u : out)
    EXPECT_TRUE(utf16 || u < 0x80) << "the files here remove only keys and values with ASCII names";
  return out;
}

std::vector<std::string> Split(const std::string& line, char by) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t at = line.find(by); at != std::string::npos; at = line.find(by, start)) {
    fields.push_back(line.substr(start, at - start));
    start = at + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

// Removes from the model what the preview lists; gives how many items.
size_t Remove(Model& model, const std::string& preview, bool utf16, std::vector<std::string>& unreachable) {
  size_t items = 0;
  for (const std::string& line : Split(preview, '\n')) {
    const std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 3 || (f[0] != "key" && f[0] != "value")) continue;
    // Names code page 932 cannot write: the run reports them and keeps them.
    if (const size_t at = line.find("\tcannot be removed by t_uninst: "); at != std::string::npos) {
      unreachable.push_back(line.substr(0, at) + "\tnot removed: " + line.substr(line.find(": ", at) + 2));
      continue;
    }
    ++items;
    const Units path = KeyPath(FromField(f[1], utf16));
    if (f[0] == "key") {
      EXPECT_TRUE(model.count(path)) << "previewed key not in the file: " << f[1];
      for (auto it = model.lower_bound(path); it != model.end();) {
        const bool below =
            it->first == path || (it->first.size() > path.size() && it->first.compare(0, path.size(), path) == 0 &&
                                  it->first[path.size()] == u'\\');
        if (!below) break;
        it = model.erase(it);
      }
    } else {
      const std::string& quoted = f[2];
      EXPECT_TRUE(quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"') << line;
      const Units name = Upper(FromField(quoted.substr(1, quoted.size() - 2), utf16));
      EXPECT_EQ(model[path].erase(name), 1u) << "previewed value not in the file: " << line;
    }
  }
  return items;
}

// ---- The machines.

constexpr const char* kCv = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class Machine {
 public:
  Machine(std::uint64_t seed, bool utf16) : r_(seed), utf16_(utf16), newline_(r_.Chance(80) ? u"\r\n" : u"\n") {}

  std::string Make() {
    const std::string cv = kCv;
    for (const char* list : {"\\Installer\\Components", "\\Installer\\UserData\\S-1-5-18\\Components"})
      for (unsigned i = r_.Below(12); i > 0; --i) Component(cv + list);
    for (unsigned i = r_.Below(8); i > 0; --i) UninstallEntry(cv + "\\Uninstall");
    for (const std::string& list :
         {cv + "\\Installer\\Products", cv + "\\Installer\\UserData\\S-1-5-18\\Products",
          std::string(r_.Chance(50) ? "HKEY_CLASSES_ROOT" : "HKCR") + "\\Installer\\Products"})
      for (unsigned i = r_.Below(4); i > 0; --i) ProductKey(list);
    SharedDlls(cv + "\\SharedDLLs");
    for (unsigned i = 1 + r_.Below(10); i > 0; --i) Unrelated();
    // Some values set again, as a merged file does: the last setting holds.
    for (auto& [path, values] : keys_)
      for (size_t i = values.size(); i > 0; --i)
        if (r_.Chance(15)) values.push_back(SetAgain(values[r_.Below(static_cast<unsigned>(values.size()))]));
    // Random order; a key's values split over several sections at random places.
    std::vector<std::pair<Units, std::vector<Units>>> sections;
    for (auto& [path, values] : keys_) {
      const size_t parts = values.size() >= 2 && r_.Chance(30) ? 2 + r_.Below(2) : 1;
      std::vector<std::vector<Units>> split(parts);
      for (auto& v : values) split[r_.Below(static_cast<unsigned>(parts))].push_back(v);
      for (auto& part : split) sections.emplace_back(path, part);
    }
    for (size_t i = sections.size(); i > 1; --i)
      std::swap(sections[i - 1], sections[r_.Below(static_cast<unsigned>(i))]);
    Units text = Ascii(utf16_ ? "Windows Registry Editor Version 5.00" : "REGEDIT4") + newline_;
    for (auto& [path, values] : sections) {
      text += newline_;
      if (r_.Chance(5)) text += Ascii("; a comment") + newline_;
      if (r_.Chance(3)) text += Ascii("[-HKEY_CURRENT_USER\\Never\\Set]") + newline_;
      text += u'[' + Recase(path) + u']' + newline_;
      for (auto& v : values) text += v;
    }
    text += newline_;
    return Encode(text, utf16_);
  }

 private:
  // Some ASCII letters in the other case; the root's short or long name.
  Units Recase(Units path) {
    if (r_.Chance(30)) {
      if (path.compare(0, 19, Ascii("HKEY_LOCAL_MACHINE\\")) == 0) path.replace(0, 18, Ascii("HKLM"));
    }
    for (auto& c : path)
      if (c < 0x80 && std::isalpha(c) && r_.Chance(15)) c = static_cast<char16_t>(c ^ 0x20);
    return path;
  }

  Units Hex32() {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < 32; ++i) s += digits[r_.Below(16)];
    return Ascii(s);
  }

  // A character for a name or data: from all of Unicode in a UTF-16 file,
  // paired surrogates or not; code page 932 characters in a REGEDIT4 file,
  // and in its data arbitrary bytes.
  char16_t Character(bool data, bool inKeyName) {
    for (;;) {
      char16_t c;
      switch (r_.Below(6)) {
        case 0:
        case 1:
          c = static_cast<char16_t>(0x20 + r_.Below(0x5F));
          break;
        case 2:
          if (utf16_) {
            c = static_cast<char16_t>(r_.Below(0x10000));
          } else {  // a kanji of level 1, or half-width katakana
            const unsigned trail = 0x40 + r_.Below(0xBC);
            c = r_.Chance(50) ? static_cast<char16_t>((0x89 + r_.Below(15)) << 8 | (trail >= 0x7F ? trail + 1 : trail))
                              : static_cast<char16_t>(0xA1 + r_.Below(0x3F));
          }
          break;
        case 3:
          c = utf16_ ? static_cast<char16_t>(0xD800 + r_.Below(0x800))  // a surrogate, most often unpaired
                     : static_cast<char16_t>(data && r_.Chance(30) ? r_.Below(0x100) : 0x82A0 + r_.Below(0x50));
          break;
        default:
          c = static_cast<char16_t>(r_.Below(0x80));
      }
      if (c == u'\n' || (inKeyName && (c == u'\\' || c == u'\r' || c == u'[' || c == u']'))) continue;
      if (!data && c == 0 && !utf16_) continue;
      return c;
    }
  }

  Units Text(size_t length, bool data) {
    Units s;
    for (size_t i = 0; i < length; ++i) s += Character(data, false);
    return s;
  }

  // A unique ending keeps names distinct whatever their case. A subkey of
  // a key the cleaner removes gets an ASCII name: the ANSI functions it
  // removes keys with cannot name the others.
  Units Name(bool ascii = false) {
    Units s;
    for (size_t i = r_.Below(6); i > 0; --i)
      s += ascii ? static_cast<char16_t>(u'a' + r_.Below(26)) : Character(false, true);
    return s + Ascii("#") + Ascii(std::to_string(++unique_));
  }

  static Units Quoted(const Units& text) {
    Units out = u"\"";
    for (char16_t c : text) {
      if (c == u'\\' || c == u'"') out += u'\\';
      out += c;
    }
    return out + u'"';
  }

  Units HexLines(const Units& head, const std::vector<unsigned>& bytes) {
    Units out = head;
    size_t column = head.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
      static const char* digits = "0123456789abcdef";
      out += static_cast<char16_t>(digits[bytes[i] >> 4]);
      out += static_cast<char16_t>(digits[bytes[i] & 15]);
      if (i + 1 == bytes.size()) break;
      out += u',';
      column += 3;
      if (column >= 76) {
        out += u'\\' + newline_ + Ascii("  ");
        column = 2;
      }
    }
    return out;
  }

  // One value's lines with a random name (or the default) and random data;
  // now and then in a form regedit does not write (spaces, "" for the
  // default, upper-case digits, escapes it would not use), which must be
  // written back as it is.
  Units Value(const Units& name) {
    const bool odd = r_.Chance(25);
    Units line = name.empty() ? Units(odd && r_.Chance(50) ? u"\"\"" : u"@") : Quoted(name);
    line += odd && r_.Chance(50) ? Ascii(" = ") : Units(u"=");
    std::vector<unsigned> bytes(r_.Below(40));
    for (auto& b : bytes) b = r_.Below(256);
    switch (r_.Below(6)) {
      case 0:
        if (odd) {
          line += Ascii("dword:");
          for (int i = 0; i < 8; ++i) line += static_cast<char16_t>("0123456789ABCDEF"[r_.Below(16)]);
        } else {
          line += Ascii("dword:") + Ascii(std::to_string(10000000 + r_.Below(89999999)));
        }
        break;
      case 1:
        line = HexLines(line + Ascii("hex:"), bytes);
        break;
      case 2:
        line = HexLines(line + Ascii(r_.Chance(50) ? "hex(2):" : "hex(7):"), bytes);
        break;
      case 3:
        line = HexLines(line + Ascii("hex(" + std::to_string(r_.Below(100000)) + "):"), bytes);
        break;
      default: {
        Units quoted = Quoted(Text(r_.Below(30), true));
        // After the opening quote or before the closing one: never inside an escape.
        if (odd) quoted.insert(r_.Chance(50) ? 1 : quoted.size() - 1, Ascii(EscapesNotWritten()));
        line += quoted;
      }
    }
    if (odd && r_.Chance(30)) line += Ascii("  ");
    return line + newline_;
  }

  const char* EscapesNotWritten() {
    static const char* const kEscapes[] = {"\\n", "\\r", "\\0", "\\q"};
    return kEscapes[r_.Below(4)];
  }

  // A value's name, in other letter case at times, with other data: a
  // product path, a count or a display name, which the cleaner reads.
  Units SetAgain(const Units& value) {
    size_t end = 1;  // after the name: "@" or its closing quote
    if (value[0] == u'"') {
      while (value[end] != u'"') end += value[end] == u'\\' ? 2 : 1;
      ++end;
    }
    Units line = value.substr(0, end) + u'=';
    for (auto& c : line)
      if (c < 0x80 && std::isalpha(c) && r_.Chance(15)) c = static_cast<char16_t>(c ^ 0x20);
    switch (r_.Below(4)) {
      case 0:
        return line + Ascii("dword:0000000") + static_cast<char16_t>(u'1' + r_.Below(9)) + newline_;
      case 1:
        return line + Quoted(Ascii("ZobrikLine ") + Text(3, true)) + newline_;
      default:
        return line + Quoted(ProductPath()) + newline_;
    }
  }

  void Put(const Units& path, Units value) { keys_[path].push_back(std::move(value)); }
  void Touch(const Units& path) { keys_[path]; }

  Units Path(const std::string& list, const Units& name) { return Ascii(list) + u'\\' + name; }

  Units ProductPath() {
    const char* const places[] = {"C:\\Program Files\\ZobrikLine\\", "c:\\program files\\zOBRIKline\\bin\\",
                                  "C:\\Program Files\\Contoso\\", "D:\\Apps\\Zobrik\\"};
    // One draw at a time: the order of operands is the compiler's, and
    // the same seed must make the same file with GCC and with Clang.
    Units path = Ascii(places[r_.Below(4)]);
    return path + Text(r_.Below(8), false);
  }

  void Component(const std::string& list) {
    const Units path = Path(list, Hex32());
    Touch(path);
    for (unsigned i = 1 + r_.Below(3); i > 0; --i) {
      if (r_.Chance(70)) {
        // At times a name code page 932 cannot write: the run cannot read it.
        const Units name = Quoted(utf16_ && r_.Chance(10) ? u'\u00C9' + Hex32() : Hex32());
        Put(path, name + u'=' + Quoted(ProductPath()) + newline_);
      } else {
        Put(path, Value(Name()));
      }
    }
    if (r_.Chance(10)) {
      const Units sub = path + Ascii("\\Sub") + Name(true);
      Put(sub, Value(Name()));
    }
  }

  void UninstallEntry(const std::string& list) {
    // "Café App 7" is a name code page 932 cannot write.
    const Units app =
        (utf16_ && r_.Chance(15) ? Units(u"Caf\u00E9 App ") : Ascii("App ")) + Ascii(std::to_string(++unique_));
    const Units path = Path(list, r_.Chance(50) ? Hex32() : app);
    Touch(path);
    Put(path, Ascii("\"DisplayName\"=") + Quoted(r_.Chance(40) ? Ascii("ZobrikLine ") + Text(3, true) : Text(8, true)) +
                  newline_);
    for (unsigned i = r_.Below(4); i > 0; --i) Put(path, Value(Name()));
  }

  void ProductKey(const std::string& list) {
    const Units path = Path(list, r_.Chance(50) ? Ascii(kProductCodes[r_.Below(4)]) : Hex32());
    if (keys_.count(path)) return;
    Touch(path);
    Put(path, Ascii("\"ProductName\"=") + Quoted(Text(6, true)) + newline_);
    if (r_.Chance(50)) Put(path + Ascii("\\SourceList"), Value(Name()));
  }

  void SharedDlls(const std::string& key) {
    const Units path = Ascii(key);
    Touch(path);
    for (unsigned i = r_.Below(8); i > 0; --i) {
      Units name = r_.Chance(50) ? ProductPath() : Ascii("C:\\Windows\\") + Text(4, false);
      // In a REGEDIT4 file the names the preview shows are ASCII; in a
      // UTF-16 one they may be anything: tabs, CR, lone surrogates, and
      // characters outside the BMP, which its fields escape.
      if (!utf16_)
        for (auto& c : name)
          if (c >= 0x80 || c < 0x20) c = u'_';
      if (utf16_ && r_.Chance(20)) name.insert(r_.Below(name.size() + 1), 1, u'\u00E9');
      if (utf16_ && r_.Chance(15)) name.insert(r_.Below(name.size() + 1), u"\U0001F600");
      if (utf16_ && r_.Chance(20)) name.insert(r_.Below(name.size() + 1), u"\t\\\r");
      name += Ascii("#") + Ascii(std::to_string(++unique_));
      Put(path, Quoted(name) + Ascii("=dword:0000000") + static_cast<char16_t>(u'1' + r_.Below(9)) + newline_);
    }
  }

  void Unrelated() {
    Units path = Ascii(r_.Chance(50) ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\" : "HKEY_CURRENT_USER\\");
    for (unsigned depth = 1 + r_.Below(3); depth > 0; --depth) path += Name() + u'\\';
    path.pop_back();
    Touch(path);
    const unsigned count = r_.Below(6), withDefault = r_.Chance(30) ? r_.Below(6) : 6;
    for (unsigned i = 0; i < count; ++i) Put(path, Value(i == withDefault ? Units() : Name()));
  }

  Random r_;
  bool utf16_;
  Units newline_;
  unsigned unique_ = 0;
  std::map<Units, std::vector<Units>> keys_;
};

std::string Shown(const Units& units) {
  std::string out;
  for (char16_t u : units) out += u >= 0x20 && u < 0x7F ? static_cast<char>(u) : '.';
  return out;
}

// The first few keys and values in which two readings differ, for a failure.
std::string Difference(const Model& expected, const Model& actual) {
  std::string out;
  for (const auto& [path, values] : expected) {
    auto it = actual.find(path);
    if (it == actual.end()) {
      out += "\n  key gone: " + Shown(path);
      continue;
    }
    for (const auto& [name, data] : values)
      if (!it->second.count(name) || it->second.at(name) != data)
        out += "\n  value gone or changed: " + Shown(path) + " \"" + Shown(name) + "\"";
    for (const auto& [name, data] : it->second)
      if (!values.count(name)) out += "\n  value added: " + Shown(path) + " \"" + Shown(name) + "\"";
  }
  for (const auto& [path, values] : actual)
    if (!expected.count(path)) out += "\n  key added: " + Shown(path);
  return out.substr(0, 2000);
}

bool KeptLinesOnly(const Units& before, const Units& after) {
  const std::vector<Units> old = Lines(before), now = Lines(after);
  size_t at = 0;
  for (const Units& line : now) {
    // Blank lines say nothing, and a kept parent brings one of its own.
    if (Chomp(line).empty()) continue;
    size_t found = at;
    while (found < old.size() && old[found] != line) ++found;
    if (found < old.size()) {
      at = found + 1;
      continue;
    }
    // A key only named as the parent of removed ones gets a line of its own.
    if (Chomp(line)[0] != u'[') return false;
  }
  return true;
}

// The [-key] lines, which no run removes.
size_t KeyRemovals(const Units& text) {
  const std::vector<Units> lines = Lines(text);
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [](const Units& line) { return line.starts_with(u"[-"); }));
}

class RandomFiles : public ::testing::Test {
 protected:
  // Runs the program on the file; gives false when it refused it.
  bool Check(const std::string& bytes, bool utf16, const std::string& label) {
    const std::string path = dir_.Path("machine.reg");
    WriteFile(path, bytes);
    const ProgramResult preview = RunProgram(dir_, path, "--preview", "");
    const ProgramResult run = RunProgram(dir_, path, "", "\n\n");
    const std::string after = ReadFile(path);
    if (preview.exitCode == 2 || run.exitCode == 2) {
      for (const ProgramResult* p : {&preview, &run}) {
        EXPECT_EQ(p->exitCode, 2) << label << p->err;
        const std::string said = p->err + p->out;
        EXPECT_NE(said.find(path + ":"), std::string::npos)
            << label << ": the refusal names no file and line: " << said;
        EXPECT_EQ(said.find("[ OK ]"), std::string::npos) << label << ": a dialog before the refusal";
      }
      EXPECT_TRUE(after == bytes) << label << ": a refused file was changed";
      refusals_ += label + ": " + run.err;
      return false;
    }
    EXPECT_EQ(preview.exitCode, 0) << label << preview.err;
    const Units before = Decode(bytes, utf16), now = Decode(after, utf16);
    Model expected = Read(before);
    std::vector<std::string> unreachable;
    const size_t items = Remove(expected, preview.out, utf16, unreachable);
    // What the run cannot reach it lists as left, never keeps silently.
    EXPECT_EQ(run.exitCode, unreachable.empty() ? 0 : 5) << label << run.err;
    unreachable_ += unreachable.size();
    for (const std::string& line : unreachable)
      EXPECT_NE(run.err.find("\n" + line + "\n"), std::string::npos) << label << ": not reported as left: " << line;
    const Model actual = Read(now);
    EXPECT_TRUE(expected == actual) << label << ": after the run the file differs by more than the preview's " << items
                                    << " items:" << Difference(expected, actual);
    EXPECT_TRUE(KeptLinesOnly(before, now)) << label << ": a kept line changed";
    EXPECT_EQ(KeyRemovals(now), KeyRemovals(before)) << label << ": a [-key] line went";
    if (items == 0) {
      EXPECT_EQ(after, bytes) << label;
    }
    if (::testing::Test::HasFailure()) WriteFile(std::string("/tmp/t_uninst_random_failure.reg"), bytes);
    return true;
  }

  TempDir dir_;
  std::string refusals_;    // what was said
  size_t unreachable_ = 0;  // items listed as not removable
};

TEST_F(RandomFiles, EveryFileIsCleanedByExactlyWhatThePreviewListsOrRefusedUntouched) {
  for (const bool utf16 : {true, false}) {
    int cleaned = 0, refused = 0;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
      const std::string label = (utf16 ? "UTF-16 seed " : "REGEDIT4 seed ") + std::to_string(seed);
      (Check(Machine(seed, utf16).Make(), utf16, label) ? cleaned : refused)++;
      if (::testing::Test::HasFailure()) return;
    }
    // Both roads are taken: UTF-16 files are all valid; a REGEDIT4 file with
    // arbitrary bytes is refused more often than not.
    EXPECT_GE(cleaned, 10) << (utf16 ? "UTF-16" : "REGEDIT4");
    if (utf16) {
      EXPECT_EQ(refused, 0) << refusals_;
      EXPECT_GE(unreachable_, 10u) << "names code page 932 cannot write";
    } else {
      EXPECT_GE(refused, 5) << refusals_;
    }
  }
}

// Two files met in use, which had a kept value changed on writing.
TEST_F(RandomFiles, FilesWhoseBytesWouldChangeAreRefused) {
  const std::string product =
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZobrikLine]\r\n"
      "\"DisplayName\"=\"ZobrikLine\"\r\n";
  // A regedit 5 file saved as UTF-8 without a byte-order mark by a text editor.
  const std::string utf8 =
      "Windows Registry Editor Version 5.00\r\n" + product +
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]\r\n"
      "\"DisplayName\"=\"\xEF\xBC\xB0\xEF\xBD\x92\xEF\xBD\x8F\xEF\xBD\x87\xEF\xBD\x92\xEF\xBD\x81\xEF\xBD\x8D "
      "\xC3\xA9\"\r\n";
  // A REGEDIT4 file with a lead byte before a byte that cannot follow it.
  const std::string regedit4 =
      "REGEDIT4\r\n" + product + "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\"Name\"=\"a\x81 b\"\r\n";
  for (const auto& [bytes, line, found] :
       {std::tuple{utf8, "7", "bytes 0xEF 0xBC 0xB0 are not code page 932 text; the file looks like UTF-8"},
        std::tuple{regedit4, "7", "bytes 0x81 0x20 are not code page 932 text"}}) {
    const std::string path = dir_.Path("machine.reg");
    WriteFile(path, bytes);
    const ProgramResult run = RunProgram(dir_, path, "", "\n\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(path + ":" + line + ": " + found), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_FALSE(Check(bytes, false, path));
  }
}

}  // namespace
