// The preview as a user runs it, through the built program: it only reads,
// so it works on a file it cannot write and beside other runs; its lines
// read as English, and name each key as the machine file spells it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "support/Files.h"

namespace {

const std::string kProducts = "SOFTWARE\\Classes\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2";
const std::string kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string RegFile(const std::string& sections) {
  return Utf16File("Windows Registry Editor Version 5.00\r\n\r\n" + sections);
}

class Preview : public ::testing::Test {
 protected:
  std::string Machine(const std::string& bytes, const std::string& name = "machine.reg") {
    std::string path = dir_.Path(name);
    WriteFile(path, bytes);
    return path;
  }

  ProgramResult Run(const std::string& machine) { return RunProgram(dir_, machine, "--preview", ""); }

  TempDir dir_;
};

TEST_F(Preview, OneItemOfEachKindReadsInTheSingular) {
  ProgramResult r = Run(Machine(RegFile("[HKEY_LOCAL_MACHINE\\" + kProducts + "]\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                                        kProducts + "\\SourceList]\r\n\"PackageName\"=\"zl.msi\"\r\n\r\n")));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, Escaped("key\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\t1 subkey, 1 "
                           "value\ta product code of ZobrikLine\t[HKEY_LOCAL_MACHINE\\" +
                           kProducts + "]\n") +
                       "A run would remove 1 key, holding 1 subkey and 1 value. Nothing has been changed.\n");

  r = Run(Machine(
      RegFile("[HKEY_LOCAL_MACHINE\\" + kSharedDlls + "]\r\n\"C:\\\\ZobrikLine\\\\zl.dll\"=dword:00000001\r\n")));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, Escaped("value\tHKEY_LOCAL_MACHINE\\" + kSharedDlls +
                           "\t\"C:\\ZobrikLine\\zl.dll\"\tits name mentions ZobrikLine\t[HKEY_LOCAL_MACHINE\\" +
                           kSharedDlls + "]\n") +
                       "A run would remove 1 value. Nothing has been changed.\n");
}

// The passes reach the registry through its ANSI functions, which cannot
// spell these names. The program finds them through the wide functions:
// the preview lists them, a run reports them as left and keeps them.
TEST_F(Preview, NamesCodePage932CannotWriteAreListedAndReportedNeverSilentlyKept) {
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  const std::string components = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components";
  // Latin-1 bytes become the same characters in the UTF-16 file: "\xe9" is "é".
  const std::string sections =
      "[HKEY_LOCAL_MACHINE\\" + uninstall +
      "\\Caf\xe9 ZobrikLine Tools]\r\n"
      "\"DisplayName\"=\"ZobrikLine Caf\xe9 Tools\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\" +
      kSharedDlls +
      "]\r\n"
      "\"C:\\\\Program Files\\\\Caf\xe9\\\\ZobrikLine\\\\zl.dll\"=dword:00000001\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\" +
      components +
      "\\5E6F708192A3B4C5D6E7F8091A2B3C4D]\r\n"
      "\"\xc9"
      "42B32A1FC9C5F347AEAB6F14FDB5BA2\"=\"C:\\\\Program Files\\\\ZobrikLine\\\\zl.dll\"\r\n\r\n"
      // A key the pass finds, with a subkey it cannot spell.
      "[HKEY_LOCAL_MACHINE\\" +
      components +
      "\\6F708192A3B4C5D6E7F8091A2B3C4D5E]\r\n"
      "\"742B32A1FC9C5F347AEAB6F14FDB5BA2\"=\"C:\\\\Program Files\\\\ZobrikLine\\\\zl.exe\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\" +
      components + "\\6F708192A3B4C5D6E7F8091A2B3C4D5E\\Caf\xe9 Cache]\r\n\r\n";
  const std::string place = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
  // As the terminal shows them: "é" and "É" in UTF-8.
  const std::vector<std::string> items = {
      "key\t" + place +
          "Uninstall\\Caf\xc3\xa9 ZobrikLine Tools\t%s: its name cannot be written in code page 932; "
          "its value \"DisplayName\" mentions ZobrikLine in its data\n",
      "value\t" + place +
          "SharedDLLs\t\"C:\\Program Files\\Caf\xc3\xa9\\ZobrikLine\\zl.dll\"\t%s: its name cannot be "
          "written in code page 932; it mentions ZobrikLine\n",
      "key\t" + place +
          "Installer\\Components\\5E6F708192A3B4C5D6E7F8091A2B3C4D\t%s: the name of its value "
          "\"\xc3\x89"
          "42B32A1FC9C5F347AEAB6F14FDB5BA2\", which mentions ZobrikLine in its data, cannot be written in code "
          "page 932\n",
      "key\t" + place +
          "Installer\\Components\\6F708192A3B4C5D6E7F8091A2B3C4D5E\t%s: its value "
          "\"742B32A1FC9C5F347AEAB6F14FDB5BA2\" mentions ZobrikLine in its data; a key below it has a name that "
          "cannot be written in code page 932\n"};
  auto lines = [&items](const std::string& state, const std::vector<size_t>& order) {
    std::string text;
    for (size_t i : order) {
      const std::string& item = items[i];
      text += item.substr(0, item.find("%s")) + state + item.substr(item.find("%s") + 2);
    }
    return Escaped(text);
  };
  const std::string machine = Machine(RegFile(sections));
  const std::string before = ReadFile(machine);
  ProgramResult r = Run(machine);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, lines("cannot be removed by t_uninst", {3, 2, 0, 1}) +
                       "A run would remove nothing. It cannot remove 4 items listed, whose names, or names below "
                       "them, code page 932 cannot write: remove them by hand. Nothing has been changed.\n");

  // A run keeps them, and says so with the preview's reasons, with a backup
  // or without: unattended in lines, else with the box too.
  const std::string left = "t_uninst: 4 items to remove are still there:\n" + lines("not removed", {3, 2, 0, 1});
  for (const std::string& arguments : {std::string("--quiet"), "--quiet --backup '" + dir_.Path("saved.reg") + "'"}) {
    r = RunProgram(dir_, machine, arguments, "");
    EXPECT_EQ(r.exitCode, 5) << arguments;
    EXPECT_EQ(r.err, left) << arguments;
    EXPECT_EQ(ReadFile(machine), before) << arguments;
  }
  r = RunProgram(dir_, machine, "", "\n\n");
  EXPECT_EQ(r.exitCode, 5);
  EXPECT_NE(r.err.find(left), std::string::npos) << r.err;
  // "（残り4件）" in the leftover box.
  EXPECT_NE(r.err.find("\xef\xbc\x88\xe6\xae\x8b\xe3\x82\x8a"
                       "4\xe4\xbb\xb6\xef\xbc\x89"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(machine), before);
}

TEST_F(Preview, AMachineWithoutZobrikLineGetsOneLineSayingSo) {
  for (const std::string& machine :
       {RegFile("[HKEY_LOCAL_MACHINE\\" + kSharedDlls + "]\r\n\"C:\\\\Other\\\\o.dll\"=dword:00000001\r\n"),
        ReadFile(std::string(TEST_DATA_DIR) + "/machine.cleaned.reg")}) {
    const ProgramResult r = Run(Machine(machine));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Nothing of ZobrikLine was found; a run changes nothing.\n");
  }
}

TEST_F(Preview, KeysCarryTheSpellingOfTheFile) {
  // The same product key, once spelled through HKEY_CLASSES_ROOT's short
  // name in lower case, once below HKEY_LOCAL_MACHINE.
  ProgramResult r = Run(Machine(RegFile("[HKCR\\installer\\products\\742b32a1fc9c5f347aeab6f14fdb5ba2]\r\n\r\n")));
  EXPECT_NE(
      r.out.find(Escaped(
          "key\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\t0 subkeys, 0 "
          "values\ta product code of ZobrikLine\t[HKCR\\installer\\products\\742b32a1fc9c5f347aeab6f14fdb5ba2]\n")),
      std::string::npos)
      << r.out;
  r = Run(Machine(ReadFile(SAMPLE_MACHINE)));
  EXPECT_NE(r.out.find(Escaped(
                "\t[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2]\n")),
            std::string::npos)
      << r.out;
}

TEST_F(Preview, ReadsAFileItCannotWriteInAFolderItCannotWrite) {
  const std::string folder = dir_.Path("locked");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string machine = folder + "/machine.reg";
  WriteFile(machine, ReadFile(SAMPLE_MACHINE));
  chmod(machine.c_str(), 0444);
  chmod(folder.c_str(), 0555);
  // A run refuses such a file; the preview reads it, even while another
  // process holds the lock a run takes.
  EXPECT_EQ(RunProgram(dir_, machine, "", "\n\n").exitCode, 2);
  const int lock = open(machine.c_str(), O_RDONLY);
  ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
  const ProgramResult r = Run(machine);
  close(lock);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("A run would remove "), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE));
}

TEST_F(Preview, ManyAtOnceAllGiveTheSameList) {
  const std::string machine = Machine(ReadFile(SAMPLE_MACHINE));
  const ProgramResult alone = Run(machine);
  ASSERT_EQ(alone.exitCode, 0) << alone.err;
  std::vector<pid_t> previews;
  for (int i = 0; i < 8; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      const std::string out = dir_.Path("preview-" + std::to_string(i));
      const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(fd, 1);
      dup2(fd, 2);
      setenv("T_UNINST_REGISTRY", machine.c_str(), 1);
      execl(T_UNINST_BINARY, T_UNINST_BINARY, "--preview", static_cast<char*>(nullptr));
      _exit(127);
    }
    previews.push_back(pid);
  }
  for (size_t i = 0; i < previews.size(); ++i) {
    int status = 0;
    waitpid(previews[i], &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "preview " << i;
    EXPECT_EQ(ReadFile(dir_.Path("preview-" + std::to_string(i))), alone.out) << "preview " << i;
  }
}

}  // namespace
