// Writing files whole or not at all on a POSIX system.
#include "platform/posix/ReplaceFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/Output.h"

namespace posix {
namespace {

// The part of a copy's name after the file's: only this program's copies
// have it, with the process that writes it.
constexpr char kCopyMark[] = ".t_uninst-";

// The copy being written, which a signal that ends the run removes first.
std::atomic<const char*> gCopy{nullptr};
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void RemoveCopyAndEnd(int signal) {
  if (const char* copy = gCopy.load()) unlink(copy);
  struct sigaction ending {};
  ending.sa_handler = SIG_DFL;
  sigaction(signal, &ending, nullptr);
  raise(signal);
}

// While it lives, the signals a tool sends to end a run (TERM, INT, HUP)
// remove `copy` before they end it; one that the run was told to ignore
// stays ignored.
class TCopyGuard {
 public:
  explicit TCopyGuard(const std::string& copy) {
    gCopy = copy.c_str();
    struct sigaction remove {};
    remove.sa_handler = RemoveCopyAndEnd;
    sigemptyset(&remove.sa_mask);
    for (size_t i = 0; i < std::size(kEndingSignals); ++i) {
      sigaction(kEndingSignals[i], nullptr, &before_[i]);
      if (before_[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &remove, nullptr);
    }
  }
  ~TCopyGuard() {
    for (size_t i = 0; i < std::size(kEndingSignals); ++i) sigaction(kEndingSignals[i], &before_[i], nullptr);
    gCopy = nullptr;
  }
  TCopyGuard(const TCopyGuard&) = delete;
  TCopyGuard& operator=(const TCopyGuard&) = delete;

 private:
  struct sigaction before_[std::size(kEndingSignals)]{};
};

// Whether `name` is a copy of `file` (a name in its folder) that this
// program began: the file's name, the mark, the process's number, "-" and
// the six characters mkstemp chose. Gives the process.
bool IsCopyOf(const std::string& file, const std::string& name, pid_t& process) {
  const std::string prefix = file + kCopyMark;
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = name.substr(prefix.size());
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos || dash > 9 || rest.size() != dash + 7) return false;
  process = 0;
  for (size_t i = 0; i < dash; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return false;
    process = process * 10 + (rest[i] - '0');
  }
  return true;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool ReplaceFile(const std::string& path, mode_t mode, const struct stat* owner, bool replace,
                 const std::function<bool(int fd)>& write, TMessage& error) {
  std::string temp = path + kCopyMark + std::to_string(getpid()) + "-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create a file in " + QuotedPath(FolderOf(path)) + ": " + std::strerror(errno);
    return false;
  }
  const TCopyGuard guard(temp);
  bool ok = false;
  try {
    ok = write(fd);
  } catch (...) {
    // No partial file is left, whatever stopped the write.
    close(fd);
    unlink(temp.c_str());
    throw;
  }
  ok = ok && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int saved = errno;
  if (owner != nullptr && fchown(fd, owner->st_uid, owner->st_gid) != 0) {
    // Only the owner can keep someone else's file theirs; the content is what matters.
  }
  if (close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  // A hard link takes the name only while no file has it.
  if (ok && (replace ? rename(temp.c_str(), path.c_str()) : link(temp.c_str(), path.c_str())) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok || !replace) unlink(temp.c_str());
  if (!ok) {
    error = std::strerror(saved);
    return false;
  }
  if (const int dir = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

void RemoveLeftoverCopies(const std::string& path) {
  const std::string folder = FolderOf(path);
  const size_t slash = path.rfind('/');
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = readdir(dir)) {
    pid_t process = 0;
    if (!IsCopyOf(file, entry->d_name, process) || process == getpid()) continue;
    // A process that is gone left it; a live one may be writing it still.
    if (kill(process, 0) == 0 || errno != ESRCH) continue;
    const std::string copy = folder + "/" + entry->d_name;
    struct stat info {};
    if (lstat(copy.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(copy.c_str());
  }
  closedir(dir);
}

}  // namespace posix
