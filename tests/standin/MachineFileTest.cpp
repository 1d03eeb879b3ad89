// The machine registry file: what is refused before any dialog, and how a
// flush writes it back.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/standin/machine_file.h"
#include "platform/standin/standin.h"
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

  std::string Refusal(const std::string& path) {
    std::string error;
    EXPECT_FALSE(AttachMachineFile(path, error)) << path;
    return error;
  }

  static void RemoveA() {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  TempDir dir_;
};

TEST_F(MachineFile, RefusesWhatItCannotUseWithTheFileNamedAndUntouched) {
  EXPECT_NE(Refusal(dir_.Path("missing.reg")).find("missing.reg' cannot be opened: No such file"), std::string::npos);
  EXPECT_NE(Refusal(dir_.Path("")).find("is a folder"), std::string::npos);

  const std::string readOnly = dir_.Path("ro.reg");
  WriteFile(readOnly, kFile);
  chmod(readOnly.c_str(), 0444);
  EXPECT_NE(Refusal(readOnly).find("is read-only"), std::string::npos);

  const std::string bad = dir_.Path("bad.reg");
  WriteFile(bad, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKLM\\A]\r\n\"v\"=dword:xyz\r\n"));
  EXPECT_EQ(Refusal(bad), bad + ":4: a dword needs one to eight hex digits, found 'xyz'");
  EXPECT_EQ(ReadFile(bad), Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKLM\\A]\r\n\"v\"=dword:xyz\r\n"));
}

TEST_F(MachineFile, RefusesAFileAnotherRunHasLocked) {
  const std::string path = dir_.Path("m.reg");
  WriteFile(path, kFile);
  const int other = open(path.c_str(), O_RDONLY);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_NE(Refusal(path).find("is in use by another run"), std::string::npos);
  close(other);
}

TEST_F(MachineFile, FlushWritesChangesAtomicallyKeepingModeAndLinks) {
  const std::string target = dir_.Path("m.reg");
  const std::string link = dir_.Path("link.reg");
  WriteFile(target, kFile);
  chmod(target.c_str(), 0640);
  std::filesystem::create_symlink(target, link);
  std::string error;
  ASSERT_TRUE(AttachMachineFile(link, error)) << error;

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
  std::string error;
  ASSERT_TRUE(AttachMachineFile(path, error)) << error;
  RemoveA();
  const std::string theirs = kFile + Utf16File("[HKEY_CURRENT_USER\\Theirs]\r\n\r\n").substr(2);
  WriteFile(path, theirs);
  EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_WRITE_FAULT);
  EXPECT_EQ(ReadFile(path), theirs);
}

}  // namespace
}  // namespace standin
