// The whole run on a realistic machine: in-process, where the registry can
// be made to refuse rights or fail to save, and as the built program on a
// .reg file with answers on standard input.
#include <gtest/gtest.h>

#include <sstream>

#include "cleaner/Tinst0.h"
#include "platform/standin/reg_file.h"
#include "platform/standin/standin.h"
#include "platform/standin/terminal.h"
#include "support/Files.h"
#include "t_uninst/Run.h"

namespace standin {
namespace {

const std::string kCleaned = std::string(TEST_DATA_DIR) + "/machine.cleaned.reg";

// The same text in another letter case, at the UTF-16 level of the files.
std::string Recased(std::string file) {
  const std::string from = Utf16File("SOFTWARE\\Microsoft\\Windows\\CurrentVersion").substr(2);
  const std::string to = Utf16File("Software\\microsoft\\WINDOWS\\currentversion").substr(2);
  for (size_t at = file.find(from); at != std::string::npos; at = file.find(from, at + to.size()))
    file.replace(at, from.size(), to);
  return file;
}

class Run : public ::testing::Test {
 protected:
  void Load(const std::string& bytes) { ReplaceMachine(ReadRegFile(bytes)); }
  std::string Saved() { return WriteRegFile(Machine()); }

  int RunWith(const std::string& answers, const std::string& backup = {}) {
    std::istringstream in(answers);
    SetDialogStreams(in, shown_);
    const int code = RunCleanup(backup);
    SetDialogStreams(std::cin, std::cerr);
    return code;
  }

  void TearDown() override {
    SetFlushHandler(nullptr);
    ReplaceMachine(std::make_unique<KeyTree>());
  }

  std::ostringstream shown_;
};

TEST_F(Run, CleansTheSampleMachineToExactlyTheOtherProductsState) {
  Load(ReadFile(SAMPLE_MACHINE));
  EXPECT_EQ(RunWith("\n\n"), 0);
  EXPECT_EQ(Saved(), ReadFile(kCleaned));
  // A second run finds nothing more to remove.
  Load(ReadFile(kCleaned));
  EXPECT_EQ(RunWith("\n\n"), 0);
  EXPECT_FALSE(Machine().changed);
}

TEST_F(Run, KeyPathsMatchWhateverLetterCaseTheRegistryUses) {
  Load(Recased(ReadFile(SAMPLE_MACHINE)));
  EXPECT_EQ(RunWith("\n\n"), 0);
  EXPECT_EQ(Saved(), Recased(ReadFile(kCleaned)));
}

TEST_F(Run, AMachineWithoutTheCleanedKeysStaysAsItWas) {
  const std::string machine = Utf16File(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZobrikLine]\r\n\"Path\"=\"C:\\\\ZobrikLine\"\r\n\r\n");
  Load(machine);
  Tinst0 cleaner;
  EXPECT_TRUE(cleaner.CleanInstallerEntries());
  EXPECT_TRUE(cleaner.CleanSharedDlls());
  EXPECT_FALSE(Machine().changed);
  EXPECT_EQ(Saved(), machine);
}

TEST_F(Run, KeysWithRefusedRightsAreSkippedWithoutAWord) {
  Load(ReadFile(SAMPLE_MACHINE));
  HKEY list = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components", 0,
                          KEY_READ, &list),
            ERROR_SUCCESS);
  ASSERT_EQ(DenyAccess(list, KEY_SET_VALUE), ERROR_SUCCESS);
  HKEY entry = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                          "{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}",
                          0, KEY_READ, &entry),
            ERROR_SUCCESS);
  ASSERT_EQ(DenyAccess(entry, DELETE), ERROR_SUCCESS);

  EXPECT_EQ(RunWith("\n\n"), 0);
  const std::string saved = Saved();
  auto contains = [&saved](const std::string& text) {
    return saved.find(Utf16File(text).substr(2)) != std::string::npos;
  };
  EXPECT_TRUE(contains("Components\\0D3C2B1A99887766554433221100FFEE]")) << "the refused list is left alone";
  EXPECT_TRUE(contains("Uninstall\\{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}]"));
  EXPECT_FALSE(contains("S-1-5-18\\Components\\0D3C2B1A99887766554433221100FFEE]")) << "the other steps ran";
  EXPECT_NE(shown_.str().find("ZobrikLine"), std::string::npos) << "the completion box still came";
}

TEST_F(Run, DeletionsThatCannotBeSavedAreReportedInsteadOfTheCompletion) {
  Load(ReadFile(SAMPLE_MACHINE));
  SetFlushHandler([](KeyTree&) { return ERROR_WRITE_FAULT; });
  EXPECT_NE(RunWith("\n\n"), 0);
  // "変更をレジストリに保存できませんでした。" instead of "...消去しました。"
  EXPECT_NE(shown_.str().find("\xe5\xa4\x89\xe6\x9b\xb4\xe3\x82\x92"), std::string::npos);
  EXPECT_EQ(shown_.str().find("\xe6\xb6\x88\xe5\x8e\xbb\xe3\x81\x97\xe3\x81\xbe\xe3\x81\x97\xe3\x81\x9f"),
            std::string::npos);
}

TEST_F(Run, ABackupThatFailsAfterTheConfirmationStopsTheRunBeforeAnyDeletion) {
  Load(ReadFile(SAMPLE_MACHINE));
  EXPECT_EQ(RunWith("\n\n", "/nonexistent-t_uninst-folder/removed.reg"), 4);
  EXPECT_FALSE(Machine().changed);
  // "バックアップを書き込めなかったため" in the box, instead of the completion.
  EXPECT_NE(shown_.str().find("\xe3\x83\x90\xe3\x83\x83\xe3\x82\xaf\xe3\x82\xa2\xe3\x83\x83\xe3\x83\x97"),
            std::string::npos);
}

TEST_F(Run, CancelTouchesNothingAndShowsNoSecondBox) {
  Load(ReadFile(SAMPLE_MACHINE));
  int flushes = 0;
  SetFlushHandler([&flushes](KeyTree&) { return ++flushes, ERROR_SUCCESS; });
  EXPECT_EQ(RunWith("c\n"), 0);
  EXPECT_FALSE(Machine().changed);
  EXPECT_EQ(flushes, 0);
  const std::string shown = shown_.str();
  EXPECT_EQ(shown.find("InstallCleaner"), shown.rfind("InstallCleaner")) << shown;
}

// The built program, run as a user runs it.
class Program : public ::testing::Test {
 protected:
  struct Result {
    int exitCode;
    std::string out;
  };

  Result Launch(const std::string& registry, const std::string& answers) {
    const ProgramResult r = RunProgram(dir_, registry, "", answers);
    return {r.exitCode, r.out + r.err};
  }

  std::string CopyOfSample() {
    std::string path = dir_.Path("machine.reg");
    WriteFile(path, ReadFile(SAMPLE_MACHINE));
    return path;
  }

  TempDir dir_;
};

TEST_F(Program, OkCleansTheMachineFileWithTheBoxesOnStandardError) {
  const std::string machine = CopyOfSample();
  // Standard output goes to a file: the boxes still reach the user.
  const ProgramResult r = RunProgram(dir_, machine, "", "\n\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  EXPECT_EQ(r.out, "");
  // "よろしいですか？" and the completion's "再インストール" reach the terminal as UTF-8.
  EXPECT_NE(
      r.err.find("\xe3\x82\x88\xe3\x82\x8d\xe3\x81\x97\xe3\x81\x84\xe3\x81\xa7\xe3\x81\x99\xe3\x81\x8b\xef\xbc\x9f"),
      std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("\xe5\x86\x8d\xe3\x82\xa4\xe3\x83\xb3\xe3\x82\xb9\xe3\x83\x88\xe3\x83\xbc\xe3\x83\xab"),
            std::string::npos);
}

TEST_F(Program, CancelEscAndEndOfInputLeaveTheFileByteForByte) {
  for (const std::string answers : {"c\n", "cancel\n", "\x1b\n", ""}) {
    const std::string machine = CopyOfSample();
    const Result r = Launch(machine, answers);
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE)) << "answer: " << answers;
  }
}

TEST_F(Program, RefusesToStartWithoutAUsableRegistryFile) {
  Result r = Launch("", "\n\n");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.out.find("set T_UNINST_REGISTRY"), std::string::npos) << r.out;

  const std::string bad = dir_.Path("bad.reg");
  WriteFile(bad, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"x\"=hex:0g\r\n");
  r = Launch(bad, "\n\n");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(r.out, "t_uninst: " + bad + ":4: bad hex byte '0g'\n") << "no dialog before the file is read";
}

}  // namespace
}  // namespace standin
