// The whole run on a realistic machine: in-process, where the registry can
// be made to refuse rights or fail to save, and as the built program on a
// .reg file with answers on standard input.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <new>
#include <sstream>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"
#include "support/Boxes.h"
#include "support/FailingAllocation.h"
#include "support/Files.h"
#include "support/Rights.h"
#include "t_uninst/Messages.h"
#include "t_uninst/Preview.h"
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

// The boxes a run shows, as the program's texts give them.
const TShownBox kConfirm{kConfirmation, kCaption, MB_OKCANCEL};
const TShownBox kComplete{kCompletion, kCaption, MB_OK};
TShownBox Box(const TMessage& text) { return {text, kCaption, MB_OK}; }

// Refuses rights on a key of the machine, as an access control list would.
void Deny(const std::string& path, REGSAM rights) {
  ASSERT_EQ(DenyRights(HKEY_LOCAL_MACHINE, path, 0, rights), ERROR_SUCCESS) << path;
}

class Run : public ::testing::Test {
 protected:
  void Load(const std::string& bytes) { ReplaceMachine(ReadKeyTree(bytes)); }
  std::string Saved() { return WriteKeyTree(Machine()); }

  // The run in this process, its boxes answered from `answers` and kept.
  int RunWith(const std::vector<int>& answers, const std::string& backup = {}) {
    const TRecordedBoxes boxes(answers);
    const int code = static_cast<int>(RunCleanup(backup));
    shown_ = boxes.Shown();
    return code;
  }

  void TearDown() override {
    SetFlushHandler(nullptr);
    ReplaceMachine(std::make_unique<KeyTree>());
  }

  std::vector<TShownBox> shown_;
};

TEST_F(Run, CleansTheSampleMachineToExactlyTheOtherProductsState) {
  Load(ReadFile(SAMPLE_MACHINE));
  EXPECT_EQ(RunWith({IDOK}), 0);
  EXPECT_EQ(Saved(), ReadFile(kCleaned));
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, kComplete}));
}

TEST_F(Run, KeyPathsMatchWhateverLetterCaseTheRegistryUses) {
  Load(Recased(ReadFile(SAMPLE_MACHINE)));
  EXPECT_EQ(RunWith({IDOK}), 0);
  EXPECT_EQ(Saved(), Recased(ReadFile(kCleaned)));
}

TEST_F(Run, AMachineWithoutTheCleanedKeysStaysAsItWas) {
  const std::string machine = Utf16File(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZobrikLine]\r\n\"Path\"=\"C:\\\\ZobrikLine\"\r\n\r\n");
  Load(machine);
  EXPECT_EQ(RunWith({IDOK}), 0);
  EXPECT_FALSE(Machine().changed);
  EXPECT_EQ(Saved(), machine);
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, kComplete}));
}

TEST_F(Run, KeysWithRefusedRightsAreSkippedWithoutAWord) {
  Load(ReadFile(SAMPLE_MACHINE));
  Deny("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components", KEY_SET_VALUE);
  Deny("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}", DELETE);

  EXPECT_EQ(RunWith({IDOK}), 0);
  const std::string saved = Saved();
  auto contains = [&saved](const std::string& text) {
    return saved.find(Utf16File(text).substr(2)) != std::string::npos;
  };
  EXPECT_TRUE(contains("Components\\0D3C2B1A99887766554433221100FFEE]")) << "the refused list is left alone";
  EXPECT_TRUE(contains("Uninstall\\{1A23B742-C9CF-43F5-A7AE-6BF14FDB5BA2}]"));
  EXPECT_FALSE(contains("S-1-5-18\\Components\\0D3C2B1A99887766554433221100FFEE]")) << "the other steps ran";
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, kComplete})) << "the completion box still came";
}

TEST_F(Run, DeletionsThatCannotBeSavedAreReportedInsteadOfTheCompletion) {
  Load(ReadFile(SAMPLE_MACHINE));
  int flushes = 0;
  SetFlushHandler([&flushes](KeyTree&) { return ++flushes, ERROR_WRITE_FAULT; });
  EXPECT_EQ(RunWith({IDOK}), 3);
  EXPECT_EQ(flushes, 1) << "both roots are one file: a failed save is tried, and reported, once";
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, Box(kNotSaved)}));

  // An error while saving, out of memory say, is no completion either: the
  // box says that the run did not finish and that nothing was removed.
  Load(ReadFile(SAMPLE_MACHINE));
  SetFlushHandler([](KeyTree&) -> LONG { throw std::bad_alloc(); });
  EXPECT_EQ(RunWith({IDOK}), 7);
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, Box(std::string(kUnfinished) + "\r" + kUnfinishedNothingRemoved +
                                                          "\r" + kRunAgain)}));
}

TEST_F(Run, ABackupThatFailsAfterTheConfirmationStopsTheRunBeforeAnyDeletion) {
  Load(ReadFile(SAMPLE_MACHINE));
  const std::string folder = "/nonexistent-t_uninst-folder", backup = folder + "/removed.reg";
  EXPECT_EQ(RunWith({IDOK}, backup), 4);
  EXPECT_FALSE(Machine().changed);
  // The reason under the box's text, each path in it as given.
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, Box(std::string(kNoBackup) + "\rcannot write '" +
                                                          TMessage::Path(backup) + "': the folder '" + TMessage::Path(folder) +
                                                          "' cannot be used: No such file or directory")}));
}

const std::string kProducts = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\";
const std::string kClassesProducts = "SOFTWARE\\Classes\\Installer\\Products\\";

// The box that says how many items stayed.
// The box that replaces the completion when items stayed: what to do next
// (running again as an administrator only for a run that is not one, as
// geteuid tells on the stand-in), and the backup of what went, if any.
TShownBox LeftoversBox(size_t count, const std::string& backup = {}) {
  TMessage text = kLeftoversBefore + std::to_string(count) + kLeftoversAfter + "\r" +
                  (geteuid() == 0 ? kLeftoversByHand : kLeftoversRunAsAdministrator) + "\r" + kLeftoversListed;
  if (!backup.empty()) text += "\r" + std::string(kLeftoversInBackup) + "\r" + TMessage::Path(backup);
  return Box(text);
}

TEST_F(Run, WhatCouldNotBeRemovedIsListedAndToldInsteadOfTheCompletion) {
  Load(ReadFile(SAMPLE_MACHINE));
  // Refuses full rights but not its deletion: a leaf goes.
  Deny(kProducts + "7D465AC418F4C2C4499266905AD7625A", WRITE_OWNER);
  // Refuses its deletion, and keeps its subkey from a walk with full rights.
  Deny(kClassesProducts + "742B32A1FC9C5F347AEAB6F14FDB5BA2", DELETE);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunWith({IDOK}), 5);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors,
            "t_uninst: 1 item to remove is still there:\n"
            "key\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\tAccess is denied.\n");
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, LeftoversBox(1)}));
  const std::string saved = Saved();
  auto contains = [&saved](const std::string& text) {
    return saved.find(Utf16File(text).substr(2)) != std::string::npos;
  };
  EXPECT_TRUE(contains("Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\\SourceList]"));
  EXPECT_FALSE(contains("Products\\7D465AC418F4C2C4499266905AD7625A]")) << "removed, and the removal saved";
}

TEST_F(Run, WithABackupWhatCannotBeReadWholeIsNeitherSavedNorRemoved) {
  Load(ReadFile(SAMPLE_MACHINE));
  Deny(kClassesProducts + "D8A919422052AC943BB73C84EEE607C8\\SourceList", KEY_QUERY_VALUE);
  TempDir dir;
  const std::string backup = dir.Path("removed.reg");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunWith({IDOK}, backup), 5);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("key\tHKEY_CLASSES_ROOT\\Installer\\Products\\D8A919422052AC943BB73C84EEE607C8\tnot "
                        "removed: it cannot be read whole"),
            std::string::npos)
      << errors;
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, LeftoversBox(1, backup)}));
  const std::string written = ReadFile(backup);
  EXPECT_EQ(written.find(Utf16File("CLASSES_ROOT\\Installer\\Products\\D8A919422052AC943BB73C84EEE607C8").substr(2)),
            std::string::npos);
  EXPECT_NE(
      written.find(
          Utf16File("CLASSES_ROOT\\Installer\\Products\\7D465AC418F4C2C4499266905AD7625A\\SourceList]").substr(2)),
      std::string::npos);
  const std::string saved = Saved();
  EXPECT_NE(saved.find(Utf16File("Products\\D8A919422052AC943BB73C84EEE607C8\\SourceList]").substr(2)),
            std::string::npos);
}

// An error that cuts a pass short, out of memory as the installer pass
// lists a component list of 40,000 keys: the run removes what was planned,
// and says that it did not finish, as a preview says its list is not whole.
TEST_F(Run, APassCutShortRemovesWhatWasPlannedAndSaysTheRunDidNotFinish) {
  const std::string shared = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n";
  const std::string cutShort = "an error cut short the search for ZobrikLine's items, so more of them may be left";
  Load(LargeMachine(40000) + Utf16File(shared + "\"C:\\\\ZobrikLine\\\\zl.dll\"=dword:00000001\r\n").substr(2));
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  FailNextAllocationOf(40000 * sizeof(std::string));
  EXPECT_EQ(RunPreview(), ExitCode::kUnfinished);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "t_uninst: the search did not finish: " + cutShort + " than listed; nothing has been changed\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("A run would remove"), std::string::npos);

  testing::internal::CaptureStderr();
  FailNextAllocationOf(40000 * sizeof(std::string));
  EXPECT_EQ(RunWith({IDOK}), 7);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "t_uninst: the run did not finish: " + cutShort +
                "; 1 item was removed; run t_uninst again before reinstalling ZobrikLine\n");
  EXPECT_EQ(shown_, (std::vector<TShownBox>{kConfirm, Box(std::string(kUnfinished) + "\r" + kUnfinishedRemovedBefore +
                                                          "1" + kUnfinishedRemovedAfter + "\r" + kRunAgain)}));
  // The shared-DLL pass ran, and its item went; the installer pass's did not.
  EXPECT_TRUE(Saved() == LargeMachine(40000) + Utf16File(shared).substr(2));
}

TEST_F(Run, CancelTouchesNothingAndShowsNoSecondBox) {
  Load(ReadFile(SAMPLE_MACHINE));
  int flushes = 0;
  SetFlushHandler([&flushes](KeyTree&) { return ++flushes, ERROR_SUCCESS; });
  EXPECT_EQ(RunWith({IDCANCEL}), 0);
  EXPECT_FALSE(Machine().changed);
  EXPECT_EQ(flushes, 0);
  EXPECT_EQ(shown_, std::vector<TShownBox>{kConfirm});
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

  TempDir dir_;
};

TEST_F(Program, OkCleansTheMachineFileWithTheBoxesOnStandardError) {
  const std::string machine = CopyOfSample(dir_);
  // Standard output goes to a file: the boxes still reach the user. An
  // answer that is neither OK nor Cancel is asked again; the input ends
  // at the completion, which closes.
  const ProgramResult r = RunProgram(dir_, machine, "", "yes\n OK \n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  EXPECT_EQ(r.out, "");
  // Both boxes, their lines as the terminal shows them (UTF-8):
  // "ZobrikLineのインストールに関する情報を消去します。", "よろしいですか？",
  // "※ZobrikLineは常駐しているものも含めすべて終了してください。", then
  // "インストールに関する情報を消去しました。", "ZobrikLineを再インストールしてください。".
  EXPECT_EQ(
      r.err,
      "\n== ZobrikLine InstallCleaner ==\n"
      "ZobrikLine\xe3\x81\xae\xe3\x82\xa4\xe3\x83\xb3\xe3\x82\xb9\xe3\x83\x88\xe3\x83\xbc\xe3\x83\xab\xe3\x81\xab"
      "\xe9\x96\xa2\xe3\x81\x99\xe3\x82\x8b\xe6\x83\x85\xe5\xa0\xb1\xe3\x82\x92\xe6\xb6\x88\xe5\x8e\xbb\xe3\x81\x97"
      "\xe3\x81\xbe\xe3\x81\x99\xe3\x80\x82\n"
      "\xe3\x82\x88\xe3\x82\x8d\xe3\x81\x97\xe3\x81\x84\xe3\x81\xa7\xe3\x81\x99\xe3\x81\x8b\xef\xbc\x9f\n"
      "\xe2\x80\xbbZobrikLine\xe3\x81\xaf\xe5\xb8\xb8\xe9\xa7\x90\xe3\x81\x97\xe3\x81\xa6\xe3\x81\x84\xe3\x82\x8b"
      "\xe3\x82\x82\xe3\x81\xae\xe3\x82\x82\xe5\x90\xab\xe3\x82\x81\xe3\x81\x99\xe3\x81\xb9\xe3\x81\xa6\xe7\xb5\x82"
      "\xe4\xba\x86\xe3\x81\x97\xe3\x81\xa6\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95\xe3\x81\x84\xe3\x80\x82\n"
      "[ OK ]  [ Cancel ]   Enter or \"ok\": OK;  \"c\", \"cancel\" or Esc: Cancel > Please answer OK or Cancel.\n"
      "[ OK ]  [ Cancel ]   Enter or \"ok\": OK;  \"c\", \"cancel\" or Esc: Cancel > "
      "\n== ZobrikLine InstallCleaner ==\n"
      "\xe3\x82\xa4\xe3\x83\xb3\xe3\x82\xb9\xe3\x83\x88\xe3\x83\xbc\xe3\x83\xab\xe3\x81\xab\xe9\x96\xa2\xe3\x81\x99"
      "\xe3\x82\x8b\xe6\x83\x85\xe5\xa0\xb1\xe3\x82\x92\xe6\xb6\x88\xe5\x8e\xbb\xe3\x81\x97\xe3\x81\xbe\xe3\x81\x97"
      "\xe3\x81\x9f\xe3\x80\x82\n"
      "ZobrikLine\xe3\x82\x92\xe5\x86\x8d\xe3\x82\xa4\xe3\x83\xb3\xe3\x82\xb9\xe3\x83\x88\xe3\x83\xbc\xe3\x83\xab"
      "\xe3\x81\x97\xe3\x81\xa6\xe3\x81\x8f\xe3\x81\xa0\xe3\x81\x95\xe3\x81\x84\xe3\x80\x82\n"
      "[ OK ]   Enter: OK > \n");
}

TEST_F(Program, CancelEscAndEndOfInputLeaveTheFileByteForByte) {
  for (const std::string answers : {"c\n", "Cancel\n", "\x1b\n", "", "yes\n"}) {
    const std::string machine = CopyOfSample(dir_);
    const Result r = Launch(machine, answers);
    // Input that ends before an answer is nobody to answer, not Cancel.
    const bool answered = answers.find_first_of("cC\x1b") != std::string::npos;
    EXPECT_EQ(r.exitCode, answered ? 0 : 6) << r.out;
    EXPECT_EQ(r.out.find("nothing was changed. Run 't_uninst --quiet'") != std::string::npos, !answered) << r.out;
    EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE)) << "answer: " << answers;
  }
}

// The registry's text is the program's own: its code page and letter case
// come from tables in its sources, whatever locales and converters the host
// has. The machines are cleaned to the same bytes with the host's locales
// and iconv modules hidden, as on a system that has none.
TEST_F(Program, TheHostsLocalesAndConvertersChangeNoByte) {
  const std::string empty = dir_.Path("empty");
  std::filesystem::create_directory(empty);
  if (std::system(("unshare -m mount --bind '" + empty + "' '" + empty + "' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "this host refuses a mount namespace (unshare -m) or a bind mount in it, which the test needs "
                    "to hide the host's locales and converters from the program";
  const std::string bare =
      "unshare -m sh -c 'for d in /usr/lib/locale /usr/lib/*/gconv /usr/lib64/gconv; do [ ! -d \"$d\" ] || "
      "mount --bind " +
      empty +
      " \"$d\" || exit 99; done; LC_ALL=C LOCPATH=/nowhere "
      "GCONV_PATH=/nowhere \"$0\" \"$@\"' ";
  // REGEDIT4 in code page 932: the uninstall entry "ＺＬ表示" and, in
  // another letter case, a subkey of it; the trail byte of "表" is "\".
  const std::string regedit4 =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\\x82\x79\x82\x6b\x95\\\x8e\xa6]"
      "\r\n"
      "\"DisplayName\"=\"ZobrikLine \x95\\\x8e\xa6\"\r\n\r\n"
      "[HKEY_LOCAL_"
      "MACHINE\\software\\microsoft\\windows\\currentversion\\uninstall\\\x82\x9a\x82\x8c\x95\\\x8e\xa6\\Sub]\r\n"
      "\"a\"=\"b\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]\r\n"
      "\"DisplayName\"=\"\x82\x6e\x82\x94\x82\x88\x82\x85\x82\x92\"\r\n";
  const std::string kept = regedit4.substr(
      regedit4.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]"));
  for (const auto& [machine, cleaned] :
       {std::pair{ReadFile(SAMPLE_MACHINE), ReadFile(kCleaned)}, std::pair{regedit4, "REGEDIT4\r\n\r\n" + kept}}) {
    for (const std::string& host : {std::string(), bare}) {
      const std::string file = dir_.Path("machine.reg");
      WriteFile(file, machine);
      std::string command = "T_UNINST_REGISTRY='" + file + "' ";
      command.append(host).append("'" T_UNINST_BINARY "' --quiet >'").append(dir_.Path("out")).append("' 2>&1");
      const int status = std::system(command.c_str());
      EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << host << ReadFile(dir_.Path("out"));
      EXPECT_TRUE(ReadFile(file) == cleaned) << host << ReadFile(file);
    }
  }
}

TEST_F(Program, RefusesToStartWithoutAUsableRegistryFile) {
  Result r = Launch("", "\n\n");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.out.find("set T_UNINST_REGISTRY"), std::string::npos) << r.out;

  // No dialog before the file is read; the file is left as it was.
  const std::string bad = dir_.Path("bad.reg"), readOnly = CopyOfSample(dir_);
  const std::string badBytes = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"x\"=hex:0g\r\n";
  WriteFile(bad, badBytes);
  chmod(readOnly.c_str(), 0444);
  for (const auto& [file, said] :
       {std::pair{bad, bad + ":4: bad hex byte '0g'"},
        {dir_.Path("missing.reg"),
         "the machine registry '" + dir_.Path("missing.reg") + "' cannot be opened: No such file or directory"},
        {dir_.Path(""), "the machine registry '" + dir_.Path("") + "' is a folder, not a .reg file"},
        {readOnly, "the machine registry '" + readOnly +
                       "' is read-only: the cleaner needs to write it (on Windows it needs administrator rights)"}}) {
    r = Launch(file, "\n\n");
    EXPECT_EQ(r.exitCode, 2) << file;
    EXPECT_EQ(r.out, "t_uninst: " + said + "\n");
  }
  EXPECT_EQ(ReadFile(bad), badBytes);

  // An open pipe, as a shell's <(...) gives, exists but is no file to clean.
  const std::string command = "cat '" + std::string(SAMPLE_MACHINE) + "' | T_UNINST_REGISTRY=/dev/fd/0 '" +
                              T_UNINST_BINARY + "' --preview 2>'" + dir_.Path("err") + "'";
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
  EXPECT_EQ(ReadFile(dir_.Path("err")), "t_uninst: the machine registry '/dev/fd/0' is not a regular file\n");
}

}  // namespace
}  // namespace standin
