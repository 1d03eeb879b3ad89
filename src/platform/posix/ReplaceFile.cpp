// Writing files whole or not at all on a POSIX system.
#include "platform/posix/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Output.h"

namespace posix {

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
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create a file in " + QuotedPath(FolderOf(path)) + ": " + std::strerror(errno);
    return false;
  }
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

}  // namespace posix
