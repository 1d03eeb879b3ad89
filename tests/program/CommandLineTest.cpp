// The program's options as a user types them, through the built program:
// --version, --help, "--option=FILE", the Windows-style switches in any
// letter case, and what wins on a crowded line.
#include <gtest/gtest.h>

#include "support/Files.h"

namespace {

class CommandLine : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(CommandLine, VersionIsTheProjectsAndWinsOverTheRestOfTheLine) {
  for (const std::string arguments :
       {"--version", "-V", "/version", "/VERSION", "--preview --version", "--bogus /Version"}) {
    const ProgramResult r = RunProgram(dir_, "", arguments, "");
    EXPECT_EQ(r.exitCode, 0) << arguments;
    EXPECT_EQ(r.out, "t_uninst " PROJECT_VERSION " (stand-in registry)\n") << arguments;
    EXPECT_EQ(r.err, "") << arguments;
  }
}

TEST_F(CommandLine, HelpNamesTheRegistryTheAnswersEveryOptionAndEveryExitCode) {
  const ProgramResult r = RunProgram(dir_, "", "--help", "");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  for (const char* part : {"T_UNINST_REGISTRY", "Enter or \"ok\" is OK", "\"c\", \"cancel\" or Esc then Enter is Cancel",
                           "input that ends before an answer is nobody to answer (exit code 6)", "standard error",
                           "--preview ", "--version, -V, /version\n", "--help, -h, /help, /?\n",
                           "--backup FILE, /backup FILE\n", "--restore FILE, /restore FILE\n", "--preview, /preview\n",
                           "--check, /check ", "--backup=FILE, /backup=FILE"})
    EXPECT_NE(r.out.find(part), std::string::npos) << part << " in:\n" << r.out;
  EXPECT_TRUE(
      r.out.ends_with("\nexit codes:\n"
                      "  0     done, or nothing of ZobrikLine found; also after Cancel\n"
                      "  1     --check found traces of ZobrikLine (a run would remove them)\n"
                      "  2     usage, an unusable registry file, or a FILE that cannot be used\n"
                      "  3     the changes could not be saved\n"
                      "  4     the backup could not be written; nothing was removed\n"
                      "  5     some items could not be removed and are still there\n"
                      "  6     nobody can answer the confirmation here (use --quiet); nothing was changed\n"
                      "  7     the run did not finish (out of memory, or another error); it says what it removed\n"
                      "  1618  Windows Installer is busy with an installation; nothing was changed: retry later\n"))
      << r.out;
  // Help wins over anything else on the line, and touches nothing.
  const std::string machine = CopyOfSample(dir_);
  for (const std::string arguments :
       {"--preview --help", "--bogus -h", "--backup=x --help", "/? --restore", "/HELP", "/Help /preview"}) {
    const ProgramResult again = RunProgram(dir_, machine, arguments, "\n\n");
    EXPECT_EQ(again.exitCode, 0) << arguments;
    EXPECT_EQ(again.out, r.out) << arguments;
    EXPECT_EQ(again.err, "") << "no box for " << arguments;
  }
  EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE));
}

TEST_F(CommandLine, AFileMayFollowAnEqualsSign) {
  const std::string machine = CopyOfSample(dir_);
  const std::string backup = dir_.Path("removed.reg");
  ProgramResult r = RunProgram(dir_, machine, "'--backup=" + backup + "'", "\n\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(std::string(TEST_DATA_DIR) + "/machine.cleaned.reg"));
  r = RunProgram(dir_, machine, "'--restore=" + backup + "'", "");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Restored "), std::string::npos) << r.out;
}

// As a Windows deployment tool writes them: every option has its switch,
// which any letter case spells, with its FILE after it or after "=".
TEST_F(CommandLine, EveryOptionHasAWindowsSwitchInAnyLetterCase) {
  const std::string machine = CopyOfSample(dir_);
  const std::string log = dir_.Path("t_uninst.log");
  const ProgramResult listed = RunProgram(dir_, machine, "--preview", "");
  for (const std::string spelling : {"/preview", "/PREVIEW", "/Preview"}) {
    const ProgramResult r = RunProgram(dir_, machine, spelling, "");
    EXPECT_EQ(r.exitCode, 0) << spelling << r.err;
    EXPECT_EQ(r.out, listed.out) << spelling;
  }
  for (const std::string spelling : {"/check /quiet", "/CHECK /QUIET", "/cHeCk /Quiet"}) {
    const ProgramResult r = RunProgram(dir_, machine, spelling, "");
    EXPECT_EQ(r.exitCode, 1) << spelling << r.err;
    EXPECT_EQ(r.out, "") << spelling;
  }
  const std::string backup = dir_.Path("removed.reg");
  ProgramResult r = RunProgram(dir_, machine, "/Quiet '/LOG=" + log + "' '/BACKUP=" + backup + "'", "");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(std::string(TEST_DATA_DIR) + "/machine.cleaned.reg"));
  EXPECT_NE(ReadFile(backup).size(), 0u);
  r = RunProgram(dir_, machine, "/Restore '" + backup + "' /Log '" + log + "'", "");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(RunProgram(dir_, machine, "--preview", "").out, listed.out) << "all put back";
  r = RunProgram(dir_, machine, "/quiet /backup '" + dir_.Path("again.reg") + "'", "");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(std::string(TEST_DATA_DIR) + "/machine.cleaned.reg"));
  r = RunProgram(dir_, machine, "/restore='" + dir_.Path("again.reg") + "' /log '" + log + "'", "");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(RunProgram(dir_, machine, "--preview", "").out, listed.out) << "all put back";
  // Each run is in the log: three, each with its end.
  const std::string logged = ReadFile(log);
  size_t ends = 0;
  for (size_t at = logged.find("\nend\texit code 0"); at != std::string::npos; at = logged.find("\nend\t", at + 1))
    ++ends;
  EXPECT_EQ(ends, 3u) << logged;
}

TEST_F(CommandLine, WrongLinesGetTheUsageAndTouchNothing) {
  const std::string machine = CopyOfSample(dir_);
  for (const std::string arguments : {"--clean", "''", "--backup", "--backup=", "--preview extra", "-p",
                                      "--preview=yes", "--preview --restore x", "--backup a.reg --backup b.reg"}) {
    const ProgramResult r = RunProgram(dir_, machine, arguments, "\n\n");
    EXPECT_EQ(r.exitCode, 2) << arguments;
    EXPECT_EQ(r.err.rfind("t_uninst: ", 0), 0u) << arguments;
    EXPECT_NE(r.err.find("usage: t_uninst"), std::string::npos) << arguments;
    EXPECT_EQ(r.out, "") << arguments;
  }
  EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE));
}

}  // namespace
