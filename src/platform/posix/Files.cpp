// The files the program writes besides the registry, on a POSIX system:
// backups written whole or not at all, the log appended to.
#include "platform/Files.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Output.h"
#include "platform/posix/ReplaceFile.h"
#include "regfile/Cp932.h"
#include "regfile/Utf8.h"

namespace {

// Each folder on the way to `folder`, as named: none may be a symbolic
// link, which would steer a run as root to where another points; with
// `make`, the missing ones are made, with the rights new folders get.
bool CheckFolders(const std::string& folder, bool make, TMessage& error) {
  // "/a/b/" is "/a" then "/a/b"; "a/b" is "a" then "a/b".
  for (size_t end = 0; end < folder.size();) {
    end = std::min(folder.find('/', end + 1), folder.size());
    const std::string step = folder.substr(0, end);
    if (step.back() == '/') continue;
    struct stat info {};
    if (lstat(step.c_str(), &info) != 0 && errno == ENOENT && make) {
      if (mkdir(step.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "the folder " + QuotedPath(step) + " cannot be made: " + std::strerror(errno);
        return false;
      }
    }
    if (lstat(step.c_str(), &info) != 0) {
      error = "the folder " + QuotedPath(step) + " cannot be used: " + std::strerror(errno);
      return false;
    }
    if (S_ISLNK(info.st_mode)) {
      error = QuotedPath(step) + " is a symbolic link: name the folder it leads to";
      return false;
    }
    if (!S_ISDIR(info.st_mode)) {
      error = QuotedPath(step) + " is not a folder";
      return false;
    }
  }
  return true;
}

}  // namespace

bool WriteNewFile(const std::string& path, std::string_view bytes, TMessage& error) {
  // Checked again as the file is written: a link may have taken a
  // folder's place since the run began.
  TMessage reason;
  // mkstemp makes the file private; it gets the permissions a new file would.
  const mode_t mask = umask(0);
  umask(mask);
  if (!CheckFolders(posix::FolderOf(path), false, reason) ||
      !posix::ReplaceFile(
          path, 0666 & ~mask, nullptr, false, [bytes](int fd) { return posix::WriteAll(fd, bytes); }, reason)) {
    error = "cannot write " + QuotedPath(path) + ": " + reason;
    return false;
  }
  return true;
}

bool MakeFoldersFor(const std::string& path, TMessage& error) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || CheckFolders(path.substr(0, slash + 1), true, error);
}

bool CanWriteNewFile(const std::string& path, TMessage& error) {
  auto refuse = [&error](const TMessage& why) {
    error = why;
    return false;
  };
  const TMessage shown = QuotedPath(path);
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0)
    return refuse(shown + " exists already: name a new file, so that no earlier file is lost");
  if (errno != ENOENT) return refuse(shown + " cannot be used: " + std::strerror(errno));
  const std::string folder = posix::FolderOf(path);
  if (!CheckFolders(folder, false, error)) return false;
  // The file is first written under its name and a suffix of 7 characters.
  const size_t slash = path.rfind('/');
  const size_t nameLength = path.size() - (slash == std::string::npos ? 0 : slash + 1);
  const long longestName = pathconf(folder.c_str(), _PC_NAME_MAX);
  if ((longestName > 0 && nameLength + 7 > static_cast<size_t>(longestName)) || path.size() + 7 >= PATH_MAX)
    return refuse("the name " + shown + " is too long");
  // Whether the folder takes a new file, told by one made there (under a
  // name no longer than that suffix gives) and removed: its rights or a
  // read-only medium may refuse.
  const std::string probe = path + ".probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0)
    return refuse("the folder " + QuotedPath(folder) + " of " + shown + " cannot be written: " + std::strerror(errno));
  close(fd);
  unlink(probe.c_str());
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, TMessage& why) {
  // Judged before it is opened, which for a pipe may wait for a writer.
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    why = "is not a regular file";
    return false;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    why = "cannot be read: " + std::string(std::strerror(errno));
    return false;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    why = "is not a regular file";
    return false;
  }
  bytes.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      if (n < 0) why = "cannot be read: " + std::string(std::strerror(errno));
      close(fd);
      return n == 0;
    }
  }
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool NameTaken(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

TAppendFile::~TAppendFile() {
  if (handle_ >= 0) close(static_cast<int>(handle_));
}

bool TAppendFile::Open(const std::string& path, bool& empty, TMessage& error) {
  // O_NONBLOCK: a FIFO at the name must not hold the run until a reader comes.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = errno == ELOOP ? QuotedPath(path) + " is a symbolic link: name the file itself"
                           : QuotedPath(path) + " cannot be opened for appending: " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    error = QuotedPath(path) + " is not a regular file";
    return false;
  }
  // A hard link is another name of a file elsewhere, as a link is.
  if (info.st_nlink > 1) {
    close(fd);
    error = QuotedPath(path) + " is one of several names of a file (a hard link): name a file of its own";
    return false;
  }
  handle_ = fd;
  empty = info.st_size == 0;
  return true;
}

bool TAppendFile::Append(std::string_view bytes) {
  return handle_ >= 0 && posix::WriteAll(static_cast<int>(handle_), bytes);
}

std::u16string PathText(const std::string& path) { return regfile::Cp932ToUtf16(path); }

std::string PathFromText(std::u16string_view text) { return regfile::Utf16ToCp932(text); }

std::string Utf8Line(const TMessage& line) {
  std::string utf8;
  for (const TMessage::TPart& part : line.Parts()) {
    switch (part.Kind) {
      case TMessage::TKind::kText:
      case TMessage::TKind::kAnsiName:
        utf8 += regfile::Utf16ToUtf8(regfile::Cp932ToUtf16(part.Bytes));
        break;
      case TMessage::TKind::kPath:
        utf8 += part.Bytes;
        break;
      case TMessage::TKind::kName:
        utf8 += regfile::Utf16ToUtf8(part.Units);
        break;
    }
  }
  return utf8 + "\n";
}
