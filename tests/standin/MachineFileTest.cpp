// How a flush writes the machine registry file back. (What is refused
// before any box is the built program's: RunTest, ReliabilityTest.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/machinefile/MachineFile.h"
#include "platform/standin/terminal/Terminal.h"
#include "platform/standin/win32/Standin.h"
#include "support/Files.h"

namespace standin {
namespace {

const std::string kFile = Utf16File(
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"v\"=dword:00000001\r\n\r\n");

class MachineFile : public ::testing::Test {
 protected:
  void TearDown() override {
    SetFlushHandler(nullptr);
    ReplaceMachine(std::make_unique<KeyTree>());
  }

  // Attaches the file, and says why not.
  static std::string Attach(const std::string& path) {
    TMessage error;
    return AttachMachineFile(path, error) == TAttached::kReady ? "" : ToTerminal(error);
  }

  static void RemoveA() {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  TempDir dir_;
};

TEST_F(MachineFile, FlushWritesChangesAtomicallyKeepingModeAndLinks) {
  const std::string target = dir_.Path("m.reg");
  const std::string link = dir_.Path("link.reg");
  WriteFile(target, kFile);
  chmod(target.c_str(), 0640);
  std::filesystem::create_symlink(target, link);
  ASSERT_EQ(Attach(link), "");

  EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(target), kFile) << "nothing changed, nothing written";
  RemoveA();
  EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(target),
            Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\r\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  struct stat info {};
  stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path("")), {}), 2) << "no temporary file left";
}

TEST_F(MachineFile, AFileChangedSinceItWasReadIsNotOverwritten) {
  const std::string path = dir_.Path("m.reg");
  WriteFile(path, kFile);
  ASSERT_EQ(Attach(path), "");
  RemoveA();
  const std::string theirs = kFile + Utf16File("[HKEY_CURRENT_USER\\Theirs]\r\n\r\n").substr(2);
  WriteFile(path, theirs);
  EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_WRITE_FAULT);
  EXPECT_EQ(ReadFile(path), theirs);
}

// A merged file that sets a value twice, as regedit merges it: the value
// keeps its first place and holds the last setting. Both settings' lines
// stay as they are while the value is kept, and go together when it is
// removed or set anew, so that reading the file again does not bring the
// old data back.
TEST_F(MachineFile, AValueSetTwiceIsKeptByteForByteAndRemovedWhole) {
  const std::string body =
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"First\"=\"1\"\r\n\"Shared\"=\"old\"\r\n\"Keep\"=dword:00000002\r\n"
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\r\n\"x\"=\"y\"\r\n"
      "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"last\"=dword:00000007\r\n; again\r\n\"SHARED\"=hex:01,02\r\n"
      "\"keep\"=\"k2\"\r\n\"Keep\"=\"k3\"\r\n\r\n";
  const auto without = [&body](const std::string& line) {
    std::string text = body;
    text.erase(text.find(line), line.size());
    return text;
  };
  for (const bool utf16 : {true, false}) {
    const auto file = [utf16](const std::string& text) {
      return utf16 ? Utf16File("Windows Registry Editor Version 5.00\r\n" + text) : "REGEDIT4\r\n" + text;
    };
    const std::string path = dir_.Path(utf16 ? "m16.reg" : "m4.reg");
    WriteFile(path, file(body));
    ASSERT_EQ(Attach(path), "");
    HKEY a = nullptr, b = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, KEY_ALL_ACCESS, &a), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\B", 0, KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
    DWORD count = 0;
    ASSERT_EQ(RegQueryInfoKeyA(a, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 4u);
    std::string names;
    for (DWORD i = 0;; ++i) {
      char name[32];
      DWORD length = sizeof name;
      if (RegEnumValueA(a, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names += std::string(name) + ",";
    }
    EXPECT_EQ(names, "First,Shared,Keep,last,");
    const auto query = [a](const char* name, DWORD expectedType) {
      BYTE data[16] = {};
      DWORD type = 0, size = sizeof data;
      EXPECT_EQ(RegQueryValueExA(a, name, nullptr, &type, data, &size), ERROR_SUCCESS) << name;
      EXPECT_EQ(type, expectedType) << name;
      return std::string(reinterpret_cast<const char*>(data), size);
    };
    EXPECT_EQ(query("Shared", REG_BINARY), std::string("\x01\x02"));
    EXPECT_EQ(query("keep", REG_SZ), std::string("k3") + '\0');

    // Another value removed: every line of both settings stays in place.
    ASSERT_EQ(RegDeleteValueA(b, "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(path), file(without("\"x\"=\"y\"\r\n")));

    // The value removed: both of its lines go, in both sections, with the
    // comment before one as with any value.
    ASSERT_EQ(RegDeleteValueA(a, "shared"), ERROR_SUCCESS);
    ASSERT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    const std::string after = ReadFile(path);
    std::string expected = without("\"x\"=\"y\"\r\n");
    for (const char* line : {"\"Shared\"=\"old\"\r\n", "; again\r\n\"SHARED\"=hex:01,02\r\n"})
      expected.erase(expected.find(line), std::string(line).size());
    EXPECT_EQ(after, file(expected));
    const auto again = ReadKeyTree(after);
    Key* key = again->Root(kLocalMachine)->FindChild(u"SOFTWARE")->FindChild(u"A");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue(u"Shared"), nullptr);
    EXPECT_EQ(key->ValueCount(), 3u);

    // The value set anew: one line, at its first place.
    ASSERT_EQ(RegSetValueExA(a, "KEEP", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    expected.replace(expected.find("\"Keep\"=dword:00000002"), 21, "\"Keep\"=\"new\"");
    expected.erase(expected.find("\"keep\"=\"k2\"\r\n\"Keep\"=\"k3\"\r\n"), 26);
    EXPECT_EQ(ReadFile(path), file(expected));
    RegCloseKey(a);
    RegCloseKey(b);
    ReplaceMachine(std::make_unique<KeyTree>());
  }
}

}  // namespace
}  // namespace standin
