// The program's options as a user types them, through the built program:
// --version, --help, "--option=FILE", and what wins on a crowded line.
#include <gtest/gtest.h>

#include "support/Files.h"

namespace {

class CommandLine : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(CommandLine, VersionIsTheProjectsAndWinsOverTheRestOfTheLine) {
  for (const std::string arguments : {"--version", "-V", "--preview --version", "--bogus --version"}) {
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
  for (const char* part :
       {"T_UNINST_REGISTRY", "Enter or \"ok\" is OK", "\"c\", \"cancel\" or Esc then Enter is Cancel",
        "input that ends before an answer is nobody to answer (exit code 6)", "standard error", "--preview ",
        "--backup FILE ", "--restore FILE ", "--version, -V ", "--help, -h, /? ", "--backup=FILE"})
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
  for (const std::string arguments : {"--preview --help", "--bogus -h", "--backup=x --help", "/? --restore"}) {
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
