// The unattended run (--quiet), as a deployment tool starts the built
// program: no question read, no box, the same cleaning as an OK, a line for
// each removed item, and the interactive run's exit codes; and the
// detection run (--check) before and after it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/terminal/Terminal.h"
#include "platform/standin/win32/Standin.h"
#include "support/Files.h"
#include "support/Records.h"
#include "support/Rights.h"
#include "t_uninst/Log.h"
#include "t_uninst/Restore.h"
#include "t_uninst/Run.h"
#include "t_uninst/RunEvent.h"

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

// The events docs/deploying.md lists, each with its number of fields.
std::map<std::string, size_t> DocumentedEvents() {
  std::map<std::string, size_t> events;
  std::istringstream doc(ReadFile(DEPLOYING_DOC));
  const std::regex row("\\| `([a-z ]+)` \\| ([A-Z ,]+) \\|");
  std::smatch match;
  for (std::string line; std::getline(doc, line);)
    if (std::regex_match(line, match, row)) events[match[1]] = std::count(line.begin(), line.end(), ',') + 1;
  return events;
}

struct Event {
  std::string run, name;
  std::vector<std::string> fields;  // escaped, as written
};

// A log read as the docs say: UTF-8 after its byte-order mark, each line
// the time with its offset, the run, a listed event, and that event's
// fields, no more, no fewer.
std::vector<Event> ReadLog(const std::string& text) {
  static const std::map<std::string, size_t> documented = DocumentedEvents();
  EXPECT_GE(documented.size(), 13u) << "the docs list the events";
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "a new log starts with a byte-order mark";
  EXPECT_EQ(text.find("\xEF\xBB\xBF", 1), std::string::npos) << "and only a new one";
  EXPECT_TRUE(ValidUtf8(text)) << text;
  EXPECT_EQ(text.back(), '\n');
  const std::regex time("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d"), run("[0-9A-F]{16}");
  std::vector<Event> events;
  std::istringstream in(text.substr(3));
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f = Fields(line);
    const auto listed = documented.find(f.size() > 2 ? f[2] : "");
    EXPECT_TRUE(f.size() > 2 && std::regex_match(f[0], time) && std::regex_match(f[1], run) &&
                listed != documented.end() && f.size() == 3 + listed->second)
        << line;
    if (f.size() > 2) events.push_back({f[1], f[2], std::vector<std::string>(f.begin() + 3, f.end())});
  }
  return events;
}

std::vector<Event> Named(const std::vector<Event>& events, const std::string& name) {
  std::vector<Event> named;
  std::copy_if(events.begin(), events.end(), std::back_inserter(named),
               [&name](const Event& e) { return e.name == name; });
  return named;
}

// A machine whose product names hold what could break a record: a
// character outside the BMP, a lone surrogate, a tab, a carriage return
// before a line that would forge an event.
const std::u16string kEmoji = u"C:\\Program Files\\ZobrikLine\\\U0001F600.dll";
const std::u16string kLone = std::u16string(u"ZobrikLine ") + static_cast<char16_t>(0xD800) + u" lone";
const std::u16string kForging = u"C:\\ZobrikLine\\a\tb\r0000\t" + std::u16string(16, u'F') + u"\tremoved\t-\tkey";

std::string HostileMachine() {
  std::u16string text =
      u"\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kLone +
      u"]\r\n\"DisplayName\"=\"ZobrikLine\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
      u"SharedDLLs]\r\n\"C:\\\\Program Files\\\\ZobrikLine\\\\\U0001F600.dll\"=dword:00000001\r\n"
      u"\"C:\\\\ZobrikLine\\\\a\tb\r0000\t" +
      std::u16string(16, u'F') + u"\tremoved\t-\tkey\"=dword:00000001\r\n";
  std::string bytes;
  for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return ReadFile(SAMPLE_MACHINE) + bytes;
}

TEST_F(Quiet, TheLogIsARecordOfEveryRunThatGivesBackEachExactName) {
  const std::string machine = dir_.Path("machine.reg"), log = dir_.Path("t_uninst.log");
  WriteFile(machine, HostileMachine());
  // A backup named with a line feed and a byte that is no UTF-8.
  const std::string backup = dir_.Path("back\nup \xFF.reg");
  const std::string withLog = "--log '" + log + "' ";
  EXPECT_EQ(RunProgram(dir_, machine, withLog + "--check --quiet", "").exitCode, 1);
  EXPECT_EQ(RunProgram(dir_, machine, withLog, "").exitCode, 6);
  const ProgramResult run = RunProgram(dir_, machine, "/LOG '" + log + "' --quiet --backup '" + backup + "'", "");
  EXPECT_EQ(run.exitCode, 5) << "what the ANSI functions cannot name is left: " << run.err;
  const ProgramResult again = RunProgram(dir_, machine, "'--log=" + log + "' --quiet", "");
  EXPECT_EQ(again.exitCode, 5) << again.err;
  EXPECT_TRUE(ValidUtf8(run.out) && ValidUtf8(run.err)) << run.out << run.err;

  const std::vector<Event> events = ReadLog(ReadFile(log));
  // Four runs, one after the other: each from `start` to `end`, its lines
  // under one identifier, another for each.
  std::vector<std::vector<Event>> runs;
  for (const Event& e : events) {
    if (e.name == "start") runs.emplace_back();
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(e.run, runs.back().empty() ? e.run : runs.back().front().run);
    runs.back().push_back(e);
  }
  ASSERT_EQ(runs.size(), 4u);
  std::set<std::string> ids;
  for (const auto& each : runs) {
    ids.insert(each.front().run);
    EXPECT_EQ(each.back().name, "end");
    EXPECT_EQ(Named(each, "end").size(), 1u);
  }
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_EQ(runs[0].back().fields[0], "1");
  EXPECT_EQ(runs[1].back().fields, (std::vector<std::string>{"6", Named(runs[1], "answer")[0].fields[1]}));
  EXPECT_EQ(Named(runs[1], "answer")[0].fields[0], "none");
  EXPECT_EQ(runs[2].back().fields[0], "5");
  // The end's summary is the last line of standard output.
  EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), runs[2].back().fields[1] + "\n");
  EXPECT_EQ(runs[1].back().fields[1].rfind("nobody can answer the confirmation", 0), 0u);

  // The run named its backup, exactly, before its first removal.
  const std::vector<Event>& cleaning = runs[2];
  const auto first = [&cleaning](const std::string& name) {
    return std::find_if(cleaning.begin(), cleaning.end(), [&name](const Event& e) { return e.name == name; });
  };
  ASSERT_NE(first("backup"), cleaning.end());
  EXPECT_LT(first("backup"), first("deleting"));
  EXPECT_EQ(UnescapedBytes(first("backup")->fields[0]), backup);
  EXPECT_EQ(ReadFile(backup).rfind("\xFF\xFE", 0), 0u) << "the backup is where the log says";
  EXPECT_NE(UnescapedBytes(runs[2].front().fields[4]).find(backup), std::string::npos) << "its command line, whole";

  // What the check found went, or was left; each removal was tried before
  // the save, in the order the removed items are logged.
  const std::vector<Event> found = Named(runs[0], "found"), removed = Named(cleaning, "removed"),
                           left = Named(cleaning, "left"), tried = Named(cleaning, "deleting");
  EXPECT_EQ(found.size(), removed.size() + left.size());
  std::vector<Event> done;
  std::copy_if(tried.begin(), tried.end(), std::back_inserter(done),
               [](const Event& e) { return e.fields[4] == "done when saved"; });
  ASSERT_EQ(done.size(), removed.size());
  for (size_t i = 0; i < removed.size(); ++i)
    EXPECT_EQ(std::vector<std::string>(done[i].fields.begin(), done[i].fields.begin() + 4), removed[i].fields);
  // As standard output names them: "removed", then the same fields.
  std::vector<std::string> lines = Lines(run.out);
  lines.pop_back();
  ASSERT_EQ(lines.size(), removed.size()) << run.out;
  for (size_t i = 0; i < removed.size(); ++i) {
    const std::vector<std::string> f = Fields(lines[i]);
    EXPECT_EQ(std::vector<std::string>(f.begin(), f.begin() + 3),
              (std::vector<std::string>{"removed", removed[i].fields[1], removed[i].fields[2]}));
  }

  // Each hostile name comes back exactly, in the fields where it belongs.
  std::set<std::u16string> names;
  for (const Event& e : removed) names.insert(UnescapedUnits(e.fields[3]));
  for (const Event& e : left) {
    names.insert(UnescapedUnits(e.fields[3]));
    names.insert(UnescapedUnits(e.fields[2]));
  }
  EXPECT_TRUE(names.count(u"\"" + kForging + u"\"")) << "removed, its tabs and CR kept in its field";
  EXPECT_TRUE(names.count(u"\"" + kEmoji + u"\"")) << "left: code page 932 cannot name it";
  EXPECT_TRUE(names.count(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kLone));
  EXPECT_EQ(left.size(), 2u);
  EXPECT_EQ(Named(events, "removed").size(), removed.size()) << "no name forged an event";
}

TEST_F(Quiet, AWriteThatFailsIsToldAndNeverUndoesTheCleaning) {
  const std::string machine = CopyOfSample(dir_), log = dir_.Path("t_uninst.log");
  // A file system that takes 64 KiB per file, as a full one takes none:
  // writes beyond fail with EFBIG (SIGXFSZ ignored).
  const auto runFull = [&](const std::string& output) {
    const std::string command = "trap '' XFSZ; ulimit -f 128; T_UNINST_REGISTRY='" + machine + "' LANG=C.UTF-8 '" +
                                T_UNINST_BINARY + "' --quiet --log '" + log + "' </dev/null >" + output + " 2>'" +
                                dir_.Path("errors") + "'";
    const int status = std::system(command.c_str());
    return std::pair{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir_.Path("errors"))};
  };
  // No room for the run's first line: refused before anything changes.
  WriteFile(log, std::string(65536, 'x'));
  auto [code, errors] = runFull("'" + dir_.Path("out") + "'");
  EXPECT_EQ(code, 2) << errors;
  EXPECT_EQ(errors, "t_uninst: the log cannot be written: '" + log +
                        "' cannot be written: File too large; nothing was asked or changed\n");
  EXPECT_EQ(ReadFile(machine), ReadFile(SAMPLE_MACHINE));
  // Room for a few lines: the cleaning goes on, and is kept; the failure
  // is told once, and the run ends with 8.
  WriteFile(log, std::string(65536 - 1200, 'x'));
  std::tie(code, errors) = runFull("'" + dir_.Path("out") + "'");
  EXPECT_EQ(code, 8) << errors;
  EXPECT_EQ(errors, "t_uninst: the log '" + log + "' could not be written whole: File too large\n");
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  EXPECT_EQ(Lines(ReadFile(dir_.Path("out"))).back(),
            "Removed 18 keys, holding 10 subkeys and 35 values, and 3 values of other keys.");
  // Standard output on a full device: the same.
  WriteFile(machine, ReadFile(SAMPLE_MACHINE));
  std::filesystem::remove(log);
  std::tie(code, errors) = runFull("/dev/full");
  EXPECT_EQ(code, 8) << errors;
  EXPECT_EQ(errors, "t_uninst: standard output could not be written whole: No space left on device\n");
  EXPECT_EQ(ReadFile(machine), ReadFile(kCleaned));
  const std::vector<Event> events = ReadLog(ReadFile(log));
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().fields[0], "8") << "the log tells it";
  // A worse exit code stays: nothing to answer is 6 whatever was written.
  WriteFile(machine, ReadFile(SAMPLE_MACHINE));
  EXPECT_EQ(
      std::system(("T_UNINST_REGISTRY='" + machine + "' '" + T_UNINST_BINARY + "' </dev/null >/dev/full 2>/dev/null")
                      .c_str()) >>
          8,
      6);

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
  const std::vector<Event> logged = ReadLog(ReadFile(dir_.Path("unfinished.log")));
  EXPECT_EQ(Named(logged, "deleting").size(), 21u) << ReadFile(dir_.Path("unfinished.log"));
  EXPECT_EQ(Named(logged, "removed").size(), 0u);
  ASSERT_EQ(Named(logged, "error").size(), 1u);
  EXPECT_EQ(Named(logged, "error")[0].fields[0],
            "the run did not finish: out of memory; nothing was removed; run t_uninst again before reinstalling "
            "ZobrikLine");
  SetFlushHandler(nullptr);

  ReplaceMachine(ReadKeyTree(ReadFile(SAMPLE_MACHINE)));
  ASSERT_EQ(DenyRights(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2",
                       0, DELETE),
            ERROR_SUCCESS);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCleanup("", true), ExitCode::kItemsLeft);
  const std::string removed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      Escaped("t_uninst: 1 item to remove is still there:\n"
              "key\tHKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\tAccess is denied.\n"));
  EXPECT_EQ(removed.find(Escaped("HKEY_CLASSES_ROOT\\Installer\\Products\\742B32A1FC9C5F347AEAB6F14FDB5BA2\t")),
            std::string::npos)
      << "what stayed is not said to be removed";
  EXPECT_EQ(Lines(removed).size(), 20u) << removed;
  EXPECT_EQ(ToTerminal(SummaryLine(ExitCode::kItemsLeft)),
            "Removed 17 keys, holding 9 subkeys and 32 values, and 3 values of other keys. 1 item to remove is still "
            "there (standard error and the log list them).")
      << "the summary the program ends its output with";

  // A restore that cannot put a key back says so alike in its summary, on
  // standard error and in its log; it is never "nothing was changed".
  ReplaceMachine(ReadKeyTree(ReadFile(SAMPLE_MACHINE)));
  const std::string backup = dir_.Path("partial.reg");
  WriteFile(backup, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\"
                              "ZobrikLine\\Settings]\r\n\"Restored\"=\"x\"\r\n"));
  ASSERT_EQ(DenyRights(HKEY_LOCAL_MACHINE, "SOFTWARE\\ZobrikLine\\Settings", 0, KEY_SET_VALUE), ERROR_SUCCESS);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunRestore(backup), ExitCode::kNotSaved);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "one file: the summary says what it gave";
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "t_uninst: these could not be put back:\n-\tkey\tHKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\ZobrikLine\\\\Settings\t\t"
      "Access is denied.\n");
  EXPECT_EQ(ToTerminal(SummaryLine(ExitCode::kNotSaved)),
            "Restored 0 keys and 0 values from '" + backup +
                "'. 1 key or value could not be put back (standard error and the log list them).");
  const std::vector<Event> restoreLog = Named(ReadLog(ReadFile(dir_.Path("unfinished.log"))), "not restored");
  ASSERT_EQ(restoreLog.size(), 1u);
  EXPECT_EQ(restoreLog[0].fields,
            (std::vector<std::string>{"-", "key", "HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\ZobrikLine\\\\Settings", "",
                                      "Access is denied."}));

  SetDialogStreams(std::cin, std::cout);
  ReplaceMachine(std::make_unique<KeyTree>());
  EXPECT_EQ(shown.str(), "");
}

}  // namespace
}  // namespace standin
