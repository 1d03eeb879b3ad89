// The unattended run (--quiet), as a deployment tool starts the built
// program: no question read, no box, the same cleaning as an OK, a line for
// each removed item, and the interactive run's exit codes; and the
// detection run (--check) before and after it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <regex>
#include <sstream>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/terminal/Terminal.h"
#include "platform/standin/win32/Standin.h"
#include "support/Files.h"
#include "support/Rights.h"
#include "t_uninst/Log.h"
#include "t_uninst/Run.h"

namespace standin {
namespace {

const std::string kCleaned = std::string(TEST_DATA_DIR) + "/machine.cleaned.reg";
const std::string kCaption = "ZobrikLine InstallCleaner";

// The lines of a text, each without the last field that says where the
// user finds a key in the machine file: told only while the key is there.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (const size_t hint = line.rfind("\t["); hint != std::string::npos && line.back() == ']') line.resize(hint);
    lines.push_back(line);
  }
  return lines;
}

class Quiet : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(Quiet, CleansWithoutAskingAndWritesALineForEachRemovedItem) {
  const std::string machine = CopyOfSample(dir_);
  const ProgramResult preview = RunProgram(dir_, machine, "--preview", "");
  ASSERT_EQ(preview.exitCode, 0) << preview.err;
  // The detection run: 1 while traces are there, with the preview's list
  // unless quiet.
  const ProgramResult check = RunProgram(dir_, machine, "--check", "");
  EXPECT_EQ(check.exitCode, 1) << check.err;
  EXPECT_EQ(check.out, preview.out);
  const ProgramResult quietCheck = RunProgram(dir_, machine, "--quiet --check", "");
  EXPECT_EQ(quietCheck.exitCode, 1) << quietCheck.err;
  EXPECT_EQ(quietCheck.out + quietCheck.err, "");

  // "c" would cancel, were a question asked.
  const ProgramResult r = RunProgram(dir_, machine, "--quiet", "c\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  EXPECT_EQ(r.out.find(kCaption), std::string::npos) << "no box: " << r.out;
  EXPECT_EQ(r.err, "");

  // The preview's items, each removed, then the totals.
  std::vector<std::string> planned = Lines(preview.out), removed = Lines(r.out);
  ASSERT_EQ(removed.size(), planned.size()) << r.out;
  ASSERT_GT(planned.size(), 1u);
  for (size_t i = 0; i + 1 < planned.size(); ++i) EXPECT_EQ(removed[i], "removed\t" + planned[i]);
  EXPECT_EQ(removed.back(), "Removed 18 keys, holding 10 subkeys and 35 values, and 3 values of other keys.");

  const ProgramResult again = RunProgram(dir_, machine, "/quiet", "");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, "Nothing of ZobrikLine was found; nothing has been changed.\n");
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  // Windows-style switches in any letter case.
  const ProgramResult clean = RunProgram(dir_, machine, "/CHECK /Quiet", "");
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_EQ(clean.out + clean.err, "");
}

// Lines of the log that begin with `start`.
size_t Count(const std::vector<std::string>& lines, const std::string& start) {
  size_t count = 0;
  for (const std::string& line : lines) count += line.rfind(start, 0) == 0;
  return count;
}

TEST_F(Quiet, TheLogKeepsEveryRunAppendedWithItsItemsAnswerAndExitCode) {
  const std::string machine = CopyOfSample(dir_), log = dir_.Path("t_uninst.log");
  const std::string withLog = "--log '" + log + "' ";
  EXPECT_EQ(RunProgram(dir_, machine, withLog + "--check --quiet", "").exitCode, 1);
  EXPECT_EQ(RunProgram(dir_, machine, withLog, "").exitCode, 6);
  const ProgramResult run = RunProgram(dir_, machine, "/LOG '" + log + "' --quiet", "");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(RunProgram(dir_, machine, "'--log=" + log + "' --quiet", "").exitCode, 0);

  const std::string text = ReadFile(log);
  ASSERT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "a new log starts with a byte-order mark";
  EXPECT_EQ(text.find("\xEF\xBB\xBF", 1), std::string::npos) << "and only a new one";
  const std::vector<std::string> lines = Lines(text.substr(3));
  // A header for each run: the time with its offset, the program, the
  // computer, the user, the command line, the registry.
  const std::regex header("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d\tt_uninst " PROJECT_VERSION
                          " \\(stand-in registry\\)\tcomputer .+\tuser .+ \\((not )?elevated\\)\tcommand line: "
                          ".*t_uninst .*(--log|/LOG).*\tregistry: "
                          "the machine file .*machine\\.reg");
  size_t headers = 0;
  for (const std::string& line : lines) headers += std::regex_match(line, header);
  EXPECT_EQ(headers, 4u) << text;
  std::vector<std::string> removed = Lines(run.out);
  removed.pop_back();
  EXPECT_EQ(Count(lines, "found\t"), removed.size()) << "the check logs what it found";
  EXPECT_EQ(Count(lines, "removed\t"), removed.size()) << "and the run what it removed";
  // The removed items, in their order, each as the output names it.
  std::vector<std::string> logged;
  for (const std::string& line : lines)
    if (line.rfind("removed\t", 0) == 0) logged.push_back(line);
  for (size_t i = 0; i < removed.size() && i < logged.size(); ++i)
    EXPECT_EQ(removed[i].rfind(logged[i] + "\t", 0), 0u) << removed[i];
  // Each removal was logged as it was tried, before the save, with the
  // registry's answer, and not as done before the save made it so.
  std::vector<std::string> tried;
  for (const std::string& line : lines)
    if (line.rfind("deleting\t", 0) == 0) tried.push_back(line);
  ASSERT_EQ(tried.size(), removed.size()) << text;
  for (size_t i = 0; i < removed.size(); ++i)
    EXPECT_EQ(tried[i], "deleting" + logged[i].substr(7) + "\tdone, takes effect when the registry is saved");
  const auto firstOf = [&lines](const std::string& start) {
    return std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  };
  EXPECT_LT(firstOf("deleting\t"), firstOf("removed\t"));
  EXPECT_EQ(Count(lines, "answer\tnone: nobody can answer"), 1u) << text;
  EXPECT_EQ(Count(lines, "end\texit code 1\t"), 1u);
  EXPECT_EQ(Count(lines, "end\texit code 6\t"), 1u);
  EXPECT_EQ(Count(lines, "end\texit code 0\t"), 2u);
  EXPECT_EQ(lines.back().rfind("end\texit code 0\t", 0), 0u);

  // A log that cannot be appended to is refused before anything is asked:
  // a link at its name or on its way, a folder.
  const std::string sample = CopyOfSample(dir_), planted = dir_.Path("planted");
  ASSERT_EQ(symlink(dir_.Path("target").c_str(), planted.c_str()), 0);
  WriteFile(dir_.Path("another name"), "");
  ASSERT_EQ(link(dir_.Path("another name").c_str(), dir_.Path("hard link").c_str()), 0);
  for (const std::string& bad : {planted, planted + "/t_uninst.log", dir_.Path(""), dir_.Path("hard link")}) {
    const ProgramResult refused = RunProgram(dir_, sample, "--log '" + bad + "'", "\n\n");
    EXPECT_EQ(refused.exitCode, 2) << bad;
    const std::string named = bad == planted + "/t_uninst.log" ? planted : bad;
    EXPECT_NE(refused.err.find("the log cannot be written: '" + named + "'"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find(kCaption), std::string::npos) << "nothing asked";
  }
  EXPECT_FALSE(std::ifstream(dir_.Path("target")).good()) << "nothing written where the link points";
  EXPECT_EQ(ReadFile(dir_.Path("another name")), "") << "nor into the file a hard link names";
  EXPECT_EQ(ReadFile(sample), ReadFile(SAMPLE_MACHINE));
}

TEST_F(Quiet, FailuresGiveTheInteractiveExitCodesWithAReasonAndNoBox) {
  // A backup that fails (4, nothing removed), removals that cannot be saved
  // (3), an error that stops the run (7), an item that stays (5): the
  // reason, and what stayed, on standard error; no box.
  ReplaceMachine(ReadKeyTree(ReadFile(SAMPLE_MACHINE)));
  std::istringstream in("\n\n");
  std::ostringstream shown;
  SetDialogStreams(in, shown);
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCleanup(dir_.Path("missing/removed.reg"), true), ExitCode::kNoBackup);
  EXPECT_FALSE(Machine().changed);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("nothing was removed"), std::string::npos);
  SetFlushHandler([](KeyTree&) { return ERROR_WRITE_FAULT; });
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCleanup("", true), ExitCode::kNotSaved);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
  // An error outside the passes (7): the run did not finish, and on the
  // stand-in nothing unsaved was removed.
  // Its log still tells each removal tried before the save, and none as removed.
  ReplaceMachine(ReadKeyTree(ReadFile(SAMPLE_MACHINE)));
  TMessage logError;
  ASSERT_TRUE(OpenLog(dir_.Path("unfinished.log"), "t_uninst --quiet", logError)) << ToTerminal(logError);
  SetFlushHandler([](KeyTree&) -> LONG { throw std::bad_alloc(); });
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCleanup("", true), ExitCode::kUnfinished);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "t_uninst: the run did not finish: out of memory; nothing was removed; run t_uninst again before "
            "reinstalling ZobrikLine\n");
  const std::vector<std::string> logged = Lines(ReadFile(dir_.Path("unfinished.log")));
  EXPECT_EQ(Count(logged, "deleting\t"), 21u) << ReadFile(dir_.Path("unfinished.log"));
  EXPECT_EQ(Count(logged, "removed\t"), 0u);
  SetFlushHandler(nullptr);

  ReplaceMachine(ReadKeyTree(ReadFile(SAMPLE_MACHINE)));
  ASSERT_EQ(DenyRights(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2",
                       0, DELETE),
            ERROR_SUCCESS);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCleanup("", true), ExitCode::kItemsLeft);
  const std::string removed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "t_uninst: 1 item to remove is still there:\n"
            "key\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\tAccess is denied.\n");
  EXPECT_EQ(removed.find("HKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\t"),
            std::string::npos)
      << "what stayed is not said to be removed";
  EXPECT_EQ(Lines(removed).size(), 21u) << removed;
  EXPECT_NE(removed.find("\nRemoved 17 keys, holding 9 subkeys and 32 values, and 3 values of other keys.\n"),
            std::string::npos)
      << removed;

  SetDialogStreams(std::cin, std::cout);
  ReplaceMachine(std::make_unique<KeyTree>());
  EXPECT_EQ(shown.str(), "");
}

}  // namespace
}  // namespace standin
