// Reading and writing .reg files: real exports come back byte for byte,
// the canonical form follows regedit's, data regedit would lose is kept,
// and every syntax error names its line.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/Upcase.h"
#include "platform/standin/registry/ValueData.h"
#include "regfile/RegValueText.h"
#include "support/Files.h"

namespace standin {
namespace {

std::vector<std::uint8_t> Bytes(const KeyTree& tree, const Value* value) {
  std::string data;
  AppendStored(tree, *value, data);
  return {data.begin(), data.end()};
}

std::u16string RenderRegValue(std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data,
                              std::u16string_view newline) {
  std::u16string out;
  regfile::AppendRegValue(out, name, type, data, newline);
  return out;
}

Key* Find(KeyTree& tree, std::uint8_t root, std::initializer_list<std::u16string_view> path) {
  Key* key = tree.Root(root);
  for (auto part : path) key = key == nullptr ? nullptr : key->FindChild(part);
  return key;
}

std::string Roundtrip(const std::string& bytes) { return WriteKeyTree(*ReadKeyTree(bytes)); }

TEST(RegFile, RealExportsComeBackByteForByte) {
  const std::filesystem::path dir = SHARED_REGFILES_DIR;
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "no shared .reg files at " << dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".reg") continue;
    const std::string bytes = ReadFile(entry.path().string());
    if (bytes.rfind("\xFF\xFE", 0) != 0) continue;  // Wine's own registry files are another format
    EXPECT_EQ(Roundtrip(bytes), bytes) << entry.path();
    ++files;
  }
  EXPECT_GE(files, 5);
}

// A file is read a piece at a time; a character split between two pieces
// must wait for the next, in either encoding.
TEST(RegFile, CharactersSplitBetweenPiecesReadWhole) {
  // "表示ソフト": double-byte characters whose trail bytes are "\".
  const std::string regedit4 =
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\\x95\x5c\x8e\xa6\x83\x5c\x83t\x83g]\r\n"
      "\"\x95\x5c\"=\"\x8e\xa6\x83\x5c\"\r\n";
  for (const std::string& file : {regedit4, ReadFile(SAMPLE_MACHINE)}) {
    for (size_t dribble : {1, 2, 3, 7}) {
      std::string_view rest = file;
      const auto tree = ReadKeyTree([&rest, dribble](char* buffer, size_t size) {
        const size_t n = std::min({size, dribble, rest.size()});
        std::copy_n(rest.data(), n, buffer);
        rest.remove_prefix(n);
        return n;
      });
      EXPECT_TRUE(WriteKeyTree(*tree) == file) << dribble << " bytes a piece";
    }
  }
  const auto tree = ReadKeyTree(regedit4);
  const Key* key = Find(*tree, kLocalMachine, {u"SOFTWARE", u"\u8868\u793a\u30bd\u30d5\u30c8"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->valueCount, 1u);
}

TEST(RegFile, CanonicalFormWrapsHexAtRegeditsColumn) {
  std::vector<std::uint8_t> data;
  data.reserve(48);
  for (int i = 0; i < 48; ++i) data.push_back(static_cast<std::uint8_t>(i));
  const std::u16string text = RenderRegValue(u"Icon", 2, data, u"\r\n");
  // '"Icon"=hex(2):' is 14 columns; 21 bytes take it to column 77.
  const std::u16string first = text.substr(0, text.find(u"\r\n"));
  EXPECT_EQ(first.size(), 78u);
  EXPECT_EQ(first.back(), u'\\');
  const std::u16string second = text.substr(first.size() + 2, text.find(u"\r\n", first.size() + 2) - first.size() - 2);
  EXPECT_EQ(second.substr(0, 2), u"  ");
  EXPECT_EQ(second.size(), 2u + 25 * 3 + 1);
  // A break is never left after the last byte.
  data.resize(21 + 1);
  const std::u16string exact = RenderRegValue(u"Icon", 2, data, u"\r\n");
  EXPECT_EQ(exact, u"\"Icon\"=hex(2):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,\\\r\n  15\r\n");
  EXPECT_EQ(RenderRegValue(u"Icon", 2, {}, u"\n"), u"\"Icon\"=hex(2):\n");
}

TEST(RegFile, WritesWhatRegeditWouldLoseAsHex) {
  auto render = [](std::uint32_t type, std::vector<std::uint8_t> data) {
    return RenderRegValue(u"", type, data, u"\n");
  };
  EXPECT_EQ(render(1, {'a', 0, 0, 0, 'b', 0, 0, 0}), u"@=hex(1):61,00,00,00,62,00,00,00\n") << "a NUL before the end";
  EXPECT_EQ(render(1, {'a', 0}), u"@=hex(1):61,00\n") << "no final NUL";
  EXPECT_EQ(render(1, {'a', 0, '"', 0, '\\', 0, 0, 0}), u"@=\"a\\\"\\\\\"\n");
  EXPECT_EQ(render(4, {1, 2, 3, 4, 5}), u"@=hex(4):01,02,03,04,05\n");
  EXPECT_EQ(render(4, {0xff, 0xff, 0, 0}), u"@=dword:0000ffff\n");
}

TEST(RegFile, ReadsEveryValueForm) {
  const std::string file = Utf16File(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKLM\\Software\\T]\r\n"
      "@=\"default\"\r\n"
      "\"esc\"=\"a\\\\b\\\"c\"\r\n"
      "\"d\"=dword:0000002a\r\n"
      "\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      "\"none\"=hex(0):\r\n"
      "\"odd\"=hex(1234abcd):ff\r\n"
      "\"multi\"=hex(7):61,00,00,00,\\\r\n"
      "    00,00\r\n"
      "\"never\"=-\r\n"
      "; a comment\r\n"
      "[HKEY_CLASSES_ROOT\\.t]\r\n"
      "[-HKEY_CURRENT_USER\\Nothing]\r\n");
  auto tree = ReadKeyTree(file);
  Key* t = Find(*tree, kLocalMachine, {u"SOFTWARE", u"t"});
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->ValueCount(), 7u);
  EXPECT_EQ(Bytes(*tree, t->FindValue(u"")),
            (std::vector<std::uint8_t>{'d', 0, 'e', 0, 'f', 0, 'a', 0, 'u', 0, 'l', 0, 't', 0, 0, 0}));
  EXPECT_EQ(t->FindValue(u"ESC")->size, 12u);
  EXPECT_EQ(Bytes(*tree, t->FindValue(u"d")), (std::vector<std::uint8_t>{42, 0, 0, 0}));
  EXPECT_EQ(t->FindValue(u"q")->type, 11u);
  EXPECT_EQ(t->FindValue(u"odd")->type, 0x1234abcdu);
  EXPECT_EQ(Bytes(*tree, t->FindValue(u"multi")), (std::vector<std::uint8_t>{'a', 0, 0, 0, 0, 0}));
  EXPECT_EQ(t->FindValue(u"never"), nullptr);
  EXPECT_NE(Find(*tree, kLocalMachine, {u"Software", u"Classes", u".T"}), nullptr);
  // Short root names, the deletion lines and the comment stay as written.
  EXPECT_EQ(Roundtrip(file), file);
}

TEST(RegFile, Regedit4FilesAreCodePage932) {
  // "表示" as a key and as string data; hex(2) strings are ANSI bytes there.
  const std::string file =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\x95\x5c\x8e\xa6]\r\n"
      "\"name\"=\"\x95\x5c\x8e\xa6\"\r\n"
      "\"path\"=hex(2):25,41,25,00\r\n\r\n";
  auto tree = ReadKeyTree(file);
  Key* key = Find(*tree, kLocalMachine, {u"SOFTWARE", u"\u8868\u793a"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(Bytes(*tree, key->FindValue(u"name")), (std::vector<std::uint8_t>{0x68, 0x88, 0x3a, 0x79, 0, 0}));
  EXPECT_EQ(Bytes(*tree, key->FindValue(u"path")), (std::vector<std::uint8_t>{'%', 0, 'A', 0, '%', 0, 0, 0}));
  EXPECT_EQ(WriteKeyTree(*tree), file);
}

TEST(RegFile, AfterDeletionsOnlyTheDeletedSectionsAndValuesAreGone) {
  const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string keep1 = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keep]\r\n\"a\"=\"1\"\r\n";
  // Lines that remove what the file does not hold stay, wherever they stand,
  // unless they stand in a section that goes.
  const std::string never = "\"never\"=-\r\n";
  const std::string value = "\"b\"=dword:00000002\r\n";
  const std::string nothing = "\r\n[-HKEY_CURRENT_USER\\Nothing]\r\n";
  const std::string gone = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keep\\Gone]\r\n\"c\"=\"3\"\r\n\"gone too\"=-\r\n";
  const std::string keep2 = "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n\r\n";
  auto tree = ReadKeyTree(Utf16File(head + keep1 + never + value + nothing + gone + keep2));
  Key* keep = Find(*tree, kLocalMachine, {u"SOFTWARE", u"Keep"});
  ASSERT_NE(keep, nullptr);
  tree->Remove(*keep->FindChild(u"gone"));
  ASSERT_TRUE(tree->RemoveValue(*keep, u"B"));
  EXPECT_TRUE(tree->changed);
  EXPECT_EQ(WriteKeyTree(*tree), Utf16File(head + keep1 + never + nothing + keep2));
}

TEST(RegFile, AParentNamedOnlyByItsDeletedChildrenStays) {
  auto tree = ReadKeyTree(
      Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\List\\Child]\r\n\r\n"));
  tree->Remove(*Find(*tree, kLocalMachine, {u"SOFTWARE", u"List", u"Child"}));
  EXPECT_EQ(WriteKeyTree(*tree),
            Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\List]\r\n\r\n"));
}

TEST(RegFile, SyntaxErrorsNameTheirLine) {
  struct Case {
    std::string text;
    size_t line;
    std::string message;
  };
  const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n";
  const Case cases[] = {
      {"REGEDIT5\r\n", 1, "not a registry file"},
      {head + "\"v\"=dword:1234567890\r\n", 4, "a dword needs one to eight hex digits"},
      {head + "\"v\"=dword:xyz\r\n", 4, "a dword needs one to eight hex digits"},
      {head + "\"v\"=hex:01,zz\r\n", 4, "bad hex byte 'zz'"},
      {head + "\"v\"=hex:01 02\r\n", 4, "bad hex byte '01 02'"},
      {head + "\"v\"=hex:01,,02\r\n", 4, "bad hex byte ''"},
      {head + "\"v\"=hex(x):01\r\n", 4, "a hex(N) type needs a hex number"},
      {head + "\"v\"=hex:01,\\\r\n", 4, "the file ends inside a continued hex value"},
      {head + "\"v\"=\"open\r\n", 4, "the string lacks its closing '\"'"},
      {head + "\"v\"=\"x\" y\r\n", 4, "text after the string's closing"},
      {head + "\"v\" \"x\"\r\n", 4, "expected '=' after the value name"},
      {head + "\"v\"=str:x\r\n", 4, "unknown kind of value data"},
      {head + "\"v\r\n", 4, "the value name lacks its closing"},
      {head + "[HKEY_NOWHERE\\K]\r\n", 4, "unknown root key 'HKEY_NOWHERE'"},
      {head + "[HKEY_CURRENT_USER\\K\r\n", 4, "lacks its closing ']'"},
      {head + "[HKEY_CURRENT_USER\\K] x\r\n", 4, "text after the key's closing ']'"},
      {head + "[-HKEY_CURRENT_USER\\Other]\r\n\"v\"=\"x\"\r\n", 5, "belongs to no key"},
      // What the file sets, it may not remove: the lines that set it would be lost on writing.
      {head + "\"v\"=\"x\"\r\n\"v\"=-\r\n", 5, "removes the value 'v' that the file sets earlier"},
      {head + "[HKCU\\K\\Sub]\r\n[-HKEY_CURRENT_USER]\r\n", 5, "removes the key 'HKEY_CURRENT_USER'"},
      {head + "\"v\"=\r\n", 4, "unknown kind of value data ''"},
      {"Windows Registry Editor Version 5.00\r\n\"v\"=\"x\"\r\n", 2, "a value before the first [key]"},
      {head + "stray\r\n", 4, "expected a [key], a value or a comment"},
  };
  for (const Case& c : cases) {
    try {
      ReadKeyTree(Utf16File(c.text));
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const RegFileError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(ReadKeyTree("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"), RegFileError);
  EXPECT_THROW(ReadKeyTree("\xFF\xFEW"), RegFileError);
}

// A code page 932 file is written back from its text: bytes that would not
// come back as they were are refused, naming the line and the bytes.
TEST(RegFile, Regedit4BytesThatWouldNotComeBackAreRefused) {
  struct Case {
    std::string text;
    size_t line;
    std::string message;
  };
  const std::string head = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n";
  const Case cases[] = {
      {head + "\"v\"=\"a\x81 b\"\r\n", 4, "bytes 0x81 0x20 are not code page 932 text"},
      {head + "\"v\"=\"a\x81\"\r\n", 4, "bytes 0x81 0x22 are not code page 932 text"},
      {head + "\"v\"=\"a\"\r\n;\x81", 5, "byte 0x81 is not code page 932 text"},
      {head + "\"v\"=\"\x87\x90\"\r\n", 4, "Windows writes as 0x81 0xE0"},
      // A regedit 5 file saved by a text editor: UTF-8, no byte-order mark.
      {"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"DisplayName\"=\""
       "\xEF\xBC\xB0\xEF\xBD\x92\xEF\xBD\x8F \xC3\xA9\"\r\n",
       4, "bytes 0xEF 0xBC 0xB0 are not code page 932 text; the file looks like UTF-8"},
  };
  for (const Case& c : cases) {
    try {
      ReadKeyTree(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const RegFileError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  // What does come back is kept exactly: half-width katakana, the
  // single-byte codes Windows maps, spaces after the first line.
  const std::string exact = "REGEDIT4  \n[HKEY_CURRENT_USER\\K]\r\n\"v\"=\"\xB1\xDD\x80\xA0\xFD\x81\x45\"\n";
  EXPECT_EQ(Roundtrip(exact), exact);
}

// Keys come in any order; they are listed as Windows lists them, sorted by
// their upper-cased names, and found by any spelling.
TEST(RegFile, KeysInAnyOrderAreListedSortedAndFound) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    // Names that share their first sixteen characters, in scrambled order.
    std::string name = "LongCommonPrefix" + std::to_string(i * 7919 % 300);
    if (i % 3 == 0) name += "x";
    names.push_back(name);
  }
  names.push_back("a");
  names.push_back("B");
  names.push_back("longcommonprefix");
  std::string file = "Windows Registry Editor Version 5.00\r\n";
  for (auto it = names.rbegin(); it != names.rend(); ++it) file += "\r\n[HKEY_CURRENT_USER\\K\\" + *it + "]\r\n";
  auto tree = ReadKeyTree(Utf16File(file));
  Key& parent = *Find(*tree, kCurrentUser, {u"k"});
  ASSERT_EQ(parent.SubkeyCount(), names.size());
  std::u16string previous;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::u16string name(tree->Subkey(parent, i).name.Text());
    if (i > 0) {
      EXPECT_LT(CompareUpcased(previous, name), 0) << i;
    }
    previous = name;
  }
  for (const std::string& name : names) {
    std::u16string upper(name.begin(), name.end());
    for (auto& c : upper) c = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    EXPECT_NE(parent.FindChild(upper), nullptr) << name;
  }
  // Names that are not there are not found, however near the others.
  for (const char* absent : {"LONGCOMMONPREFIX0", "LongCommonPrefix300", "longcommonprefi", "ax"})
    EXPECT_EQ(parent.FindChild(std::u16string(absent, absent + std::strlen(absent))), nullptr) << absent;
  EXPECT_EQ(WriteKeyTree(*tree), Utf16File(file));
}

TEST(RegFile, NamesCompareAsWindowsUpperCasesThem) {
  EXPECT_TRUE(SameName(u"Software", u"SOFTWARE"));
  EXPECT_TRUE(SameName(u"\uFF21", u"\uFF41"));  // full-width A and a
  EXPECT_TRUE(SameName(u"\u0391", u"\u03B1"));  // Greek alpha
  EXPECT_FALSE(SameName(u"a", u"b"));
}

}  // namespace
}  // namespace standin
