// The cleaner's cost on machine registries of several sizes, next to the
// floor: reading the file and writing a copy of it with plain I/O.
//
//   registry_bench T_UNINST CSV_OUT MACHINE.reg...
//
// For each machine (named like machine-100000-utf16.reg, the number being
// its component keys, or machine-100000-utf16-random.reg for one whose keys
// are not in sorted order) it measures, in this process, loading the file, the
// two passes and writing the file back, with the registry calls made; then
// the built program as a user runs it, with its peak memory. Each step works
// on a fresh copy of the machine, so the machine files stay as they are.
// The floor beside them is that of plain tools on the same file.
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CallCount.h"
#include "cleaner/Tinst0.h"
#include "platform/standin/machinefile/MachineFile.h"
#include "platform/standin/terminal/Terminal.h"
#include "platform/standin/win32/Standin.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "registry_bench: %s\n", what.c_str());
  std::exit(1);
}

std::string Copy(const std::string& machine) {
  std::string copy = machine + ".work";
  std::filesystem::copy_file(machine, copy, std::filesystem::copy_options::overwrite_existing);
  // The copy goes to disk now, not while the next step is timed.
  sync();
  return copy;
}

// Runs a command of plain tools; gives its time.
double Timed(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) Fail("failed: " + command);
  return Since(start);
}

// The floor: what plain tools take to read the file and to write a flushed
// copy of it in 1 MB pieces, as the program's own save flushes it
// (`cat FILE > /dev/null`, `dd if=FILE of=COPY bs=1M conv=fsync`), the
// best of three runs each.
void Floor(const std::string& machine, double& read, double& write) {
  const std::string copy = Copy(machine);
  const std::string out = copy + ".floor";
  read = write = 1e9;
  for (int run = 0; run < 3; ++run) {
    read = std::min(read, Timed("cat '" + copy + "' > /dev/null"));
    write = std::min(write, Timed("dd if='" + copy + "' of='" + out + "' bs=1M conv=fsync status=none"));
    std::filesystem::remove(out);
  }
  std::filesystem::remove(copy);
}

struct InProcess {
  double load, passes, save;
  std::uint64_t calls;
};

InProcess Steps(const std::string& machine) {
  const std::string copy = Copy(machine);
  InProcess r{};
  auto start = Clock::now();
  TMessage error;
  if (standin::AttachMachineFile(copy, error) != TAttached::kReady) Fail(standin::ToTerminal(error));
  r.load = Since(start);
  start = Clock::now();
  const std::uint64_t before = RegistryCalls();
  {
    Tinst0 cleaner;
    TRemovalPlan plan;
    cleaner.CleanInstallerEntries(plan);
    cleaner.CleanSharedDlls(plan);
    std::vector<LONG> answers;
    RemovePlanned(plan, answers);
  }
  r.calls = RegistryCalls() - before;
  r.passes = Since(start);
  start = Clock::now();
  if (RegFlushKey(HKEY_LOCAL_MACHINE) != ERROR_SUCCESS) Fail("cannot save " + copy);
  r.save = Since(start);
  standin::ReplaceMachine(std::make_unique<standin::KeyTree>());
  // The memory goes back to the system: a program started from this
  // process would otherwise count what this process holds as its own peak
  // (a forked process starts with its parent's pages).
  malloc_trim(0);
  // The file's lock goes with the next machine file; this copy is done with.
  std::filesystem::remove(copy);
  return r;
}

// The program as a user runs it: OK to both boxes. Gives its time, and its
// peak resident memory in bytes.
double Program(const std::string& binary, const std::string& machine, long& peak) {
  const std::string copy = Copy(machine);
  const std::string answers = copy + ".answers";
  {
    FILE* f = std::fopen(answers.c_str(), "w");
    std::fputs("\n\n", f);
    std::fclose(f);
  }
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(answers.c_str(), O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);  // the boxes; the exit code tells how it went
    setenv("T_UNINST_REGISTRY", copy.c_str(), 1);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const double seconds = Since(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail(binary + " failed on " + copy);
  peak = usage.ru_maxrss * 1024L;
  std::filesystem::remove(copy);
  std::filesystem::remove(answers);
  return seconds;
}

struct Machine {
  long components;
  std::string encoding;
  std::string order;
};

Machine Describe(const std::string& path) {
  // machine-COMPONENTS-ENCODING[-ORDER].reg
  const std::string name = std::filesystem::path(path).stem();
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t dash = name.find('-', start);
    parts.push_back(name.substr(start, dash - start));
    if (dash == std::string::npos) break;
    start = dash + 1;
  }
  if (parts.size() < 3 || parts.size() > 4) Fail(path + ": name it machine-COMPONENTS-ENCODING[-ORDER].reg");
  return {std::atol(parts[1].c_str()), parts[2], parts.size() == 4 ? parts[3] : "sorted"};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) Fail("usage: registry_bench T_UNINST CSV_OUT MACHINE.reg...");
  const std::string binary = argv[1];
  FILE* csv = std::fopen(argv[2], "w");
  if (csv == nullptr) Fail(std::string("cannot write ") + argv[2]);
  std::fprintf(
      csv,
      "components,encoding,file_mb,floor_read_s,floor_write_s,load_s,passes_s,save_s,program_s,peak_mb,"
      "load_mb_s,save_mb_s,passes_us_per_component,program_to_floor,peak_to_file,calls,calls_per_component,order\n");
  std::printf("%-9s %-5s %-7s %8s | %7s %7s | %7s %6s %7s | %7s %6s %7s | %7s %7s | %7s %6s | %8s %5s | %6s\n",
              "machine", "enc", "order", "MB", "floor r", "floor w", "load", "MB/s", "x floor", "save", "MB/s",
              "x floor", "passes", "us/comp", "program", "x flr", "peak MB", "x file", "calls/c");
  for (int i = 3; i < argc; ++i) {
    const Machine m = Describe(argv[i]);
    const double mb = static_cast<double>(std::filesystem::file_size(argv[i])) / 1e6;
    double floorRead = 0, floorWrite = 0;
    Floor(argv[i], floorRead, floorWrite);
    const InProcess steps = Steps(argv[i]);
    long peak = 0;
    const double program = Program(binary, argv[i], peak);
    const double peakMb = static_cast<double>(peak) / 1e6;
    const double perComponent = steps.passes * 1e6 / static_cast<double>(m.components);
    const double callsPerComponent = static_cast<double>(steps.calls) / static_cast<double>(m.components);
    const double programToFloor = program / (floorRead + floorWrite);
    std::printf(
        "%-9ld %-5s %-7s %8.1f | %7.3f %7.3f | %7.3f %6.0f %7.1f | %7.3f %6.0f %7.1f | %7.3f %7.2f | %7.3f %6.1f | "
        "%8.0f %5.2f | %6.1f\n",
        m.components, m.encoding.c_str(), m.order.c_str(), mb, floorRead, floorWrite, steps.load, mb / steps.load,
        steps.load / floorRead, steps.save, mb / steps.save, steps.save / floorWrite, steps.passes, perComponent,
        program, programToFloor, peakMb, peakMb / mb, callsPerComponent);
    std::fprintf(csv, "%ld,%s,%.1f,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%.1f,%.1f,%.1f,%.3f,%.2f,%.3f,%llu,%.2f,%s\n",
                 m.components, m.encoding.c_str(), mb, floorRead, floorWrite, steps.load, steps.passes, steps.save,
                 program, peakMb, mb / steps.load, mb / steps.save, perComponent, programToFloor, peakMb / mb,
                 static_cast<unsigned long long>(steps.calls), callsPerComponent, m.order.c_str());
    std::fflush(stdout);
  }
  std::fclose(csv);
  return 0;
}
