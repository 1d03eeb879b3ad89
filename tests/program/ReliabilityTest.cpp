// The built program when things go wrong around it: killed while it writes
// the file, a disk that fills up, too little memory, a second run or previews
// on the same file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "cleaner/Plan.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"
#include "support/Files.h"

namespace standin {
namespace {

// The file a completed run leaves.
std::string Cleaned(const std::string& machine) {
  ReplaceMachine(ReadKeyTree(machine));
  std::vector<LONG> answers;
  RemovePlanned(PlanCleanup({0}), answers);
  std::string bytes = WriteKeyTree(Machine());
  ReplaceMachine(std::make_unique<KeyTree>());
  return bytes;
}

// Starts the program on `registry` with `answers` as its standard input.
pid_t Start(const std::string& registry, const std::string& answers, const std::string& output) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(answers.c_str(), O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    setenv("T_UNINST_REGISTRY", registry.c_str(), 1);
    execl(T_UNINST_BINARY, T_UNINST_BINARY, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

size_t FilesIn(const std::string& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

class Reliability : public ::testing::Test {
 protected:
  std::string Answers(const std::string& text) {
    std::string path = dir_.Path("answers");
    WriteFile(path, text);
    return path;
  }
  TempDir dir_;
};

// Waits until the run has begun writing its new copy beside the file (or
// has ended); gives whether it did.
bool AwaitWrite(const std::string& folder, size_t filesBefore, pid_t pid) {
  for (;;) {
    if (FilesIn(folder) > filesBefore) return true;
    if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

TEST_F(Reliability, AKillAtAnyMomentOfTheWriteLeavesTheOldFileOrTheNewOneWhole) {
  if (T_UNINST_SANITIZED)
    GTEST_SKIP() << "timed against the program's own pace, which the sanitizers slow tenfold; the plain build runs it";
  const std::string before = LargeMachine(40000);
  const std::string after = Cleaned(before);
  const std::string work = dir_.Path("work");
  std::filesystem::create_directory(work);
  const std::string machine = work + "/machine.reg";
  const std::string answers = Answers("\n\n");

  // How long writing takes: from the new copy's creation to the end of the run.
  WriteFile(machine, before);
  pid_t pid = Start(machine, answers, dir_.Path("out"));
  ASSERT_TRUE(AwaitWrite(work, 1, pid));
  const auto writing = std::chrono::steady_clock::now();
  ASSERT_EQ(Wait(pid), 0);
  const auto span = std::chrono::steady_clock::now() - writing;
  ASSERT_TRUE(ReadFile(machine) == after);

  constexpr int kPoints = 24;
  int sawOld = 0, sawNew = 0;
  for (int point = 0; point < kPoints; ++point) {
    WriteFile(machine, before);
    pid = Start(machine, answers, dir_.Path("out"));
    if (AwaitWrite(work, 1, pid)) {
      // From the copy's first byte to well past the end of the run: a busy
      // machine may take longer than the measured run, and some kills must
      // still land after the new file is in place.
      std::this_thread::sleep_for(span * point * 2 / kPoints);
      kill(pid, SIGKILL);
    }
    Wait(pid);
    const std::string left = ReadFile(machine);
    const bool old = left == before, fresh = left == after;
    EXPECT_TRUE(old || fresh) << "killed at point " << point << ": the file is neither the old one nor the new one";
    sawOld += old;
    sawNew += fresh;
    // What a killed run leaves beside the file is its unfinished copy alone.
    for (const auto& entry : std::filesystem::directory_iterator(work))
      if (entry.path() != machine) std::filesystem::remove(entry.path());
  }
  std::printf("kill points tried: %d; old file kept: %d; new file complete: %d; files lost: 0\n", kPoints, sawOld,
              sawNew);
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

TEST_F(Reliability, AFullDiskKeepsTheOldFileAndSaysSo) {
  const std::string disk = dir_.Path("disk");
  std::filesystem::create_directory(disk);
  const std::string before = LargeMachine(2000);  // about 430 KB
  // Room for the file, not for its new copy beside it.
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=640k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here: " << std::strerror(errno);
  const std::string machine = disk + "/machine.reg";
  WriteFile(machine, before);
  const std::string out = dir_.Path("out");
  const int code = Wait(Start(machine, Answers("\n\n"), out));
  const std::string left = ReadFile(machine);
  const size_t files = FilesIn(disk);
  umount(disk.c_str());
  EXPECT_EQ(code, 3);
  EXPECT_TRUE(left == before);
  EXPECT_EQ(files, 1u) << "no partial copy left behind";
  EXPECT_NE(ReadFile(out).find("could not save the machine registry '" + machine + "': No space left on device"),
            std::string::npos)
      << ReadFile(out);
}

TEST_F(Reliability, TooLittleMemoryEndsEveryModeUnfinishedAndLeavesTheFile) {
  if (T_UNINST_SANITIZED) GTEST_SKIP() << "the sanitizers reserve more address space than any limit the test could set";
  const std::string machine = dir_.Path("machine.reg");
  const std::string before = LargeMachine(40000);  // about 8.6 MB, some 50 MB in memory
  WriteFile(machine, before);
  for (const std::string& arguments : {std::string(), std::string("--quiet"), std::string("--preview"),
                                       "--backup '" + dir_.Path("removed.reg") + "'"}) {
    const std::string& mode = arguments;
    std::string command = "ulimit -v 24000; T_UNINST_REGISTRY='" + machine + "' '" + T_UNINST_BINARY + "' ";
    command.append(arguments).append(" <'").append(Answers("\n\n")).append("' >/dev/null 2>'");
    command.append(dir_.Path("err")).append("'");
    const int status = std::system(command.c_str());
    const std::string err = ReadFile(dir_.Path("err"));
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 7) << mode << ": " << err;
    EXPECT_NE(err.find("did not finish: out of memory while reading the machine registry '" + machine + "'"),
              std::string::npos)
        << mode << ": " << err;
    EXPECT_TRUE(ReadFile(machine) == before) << mode;
  }
}

TEST_F(Reliability, WhileARunAsksASecondRunIsRefusedButPreviewsRun) {
  const std::string machine = dir_.Path("machine.reg");
  const std::string before = ReadFile(SAMPLE_MACHINE);
  WriteFile(machine, before);
  // The first run waits at its confirmation for an answer that comes later.
  const std::string fifo = dir_.Path("first-answers");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const pid_t first = Start(machine, fifo, dir_.Path("first-out"));
  const int answer = open(fifo.c_str(), O_WRONLY);
  for (int i = 0; i < 1000 && ReadFile(dir_.Path("first-out")).find("Cancel") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

  const std::string out = dir_.Path("second-out");
  EXPECT_EQ(Wait(Start(machine, Answers("\n\n"), out)), 2);
  EXPECT_NE(ReadFile(out).find("is in use by another run of t_uninst"), std::string::npos) << ReadFile(out);
  for (int i = 0; i < 3; ++i) {
    const ProgramResult preview = RunProgram(dir_, machine, "--preview", "");
    EXPECT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_NE(preview.out.find("A run would remove "), std::string::npos) << preview.out;
  }

  // The previews held nothing: the first run, answered OK, cleans.
  ASSERT_EQ(write(answer, "\n\n", 2), 2);
  close(answer);
  EXPECT_EQ(Wait(first), 0) << ReadFile(dir_.Path("first-out"));
  EXPECT_TRUE(ReadFile(machine) == Cleaned(before));
}

}  // namespace
}  // namespace standin
