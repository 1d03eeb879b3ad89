// Writing a file atomically on a POSIX system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "../files.h"

namespace {

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

bool ReadsBackAs(const std::string& path, std::string_view bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string back(bytes.size() + 1, '\0');
  size_t done = 0;
  for (ssize_t n = 1; n > 0 && done<back.size(); done += n> 0 ? static_cast<size_t>(n) : 0)
    n = read(fd, back.data() + done, back.size() - done);
  close(fd);
  return done == bytes.size() && std::string_view(back.data(), done) == bytes;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create a file in '" + FolderOf(path) + "': " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; it gets the permissions a new file would.
  const mode_t mask = umask(0);
  umask(mask);
  bool ok = WriteAll(fd, bytes) && fchmod(fd, 0666 & ~mask) == 0 && fsync(fd) == 0;
  int saved = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    error = "cannot write '" + path + "': " + std::strerror(saved);
    return false;
  }
  if (const int dir = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
    fsync(dir);
    close(dir);
  }
  if (!ReadsBackAs(path, bytes)) {
    error = "'" + path + "' does not read back as it was written";
    return false;
  }
  return true;
}
