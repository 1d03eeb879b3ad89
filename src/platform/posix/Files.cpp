// The files the program writes besides the registry, on a POSIX system:
// backups written whole or not at all, the log appended to.
#include "platform/Files.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Output.h"
#include "platform/posix/ReplaceFile.h"
#include "regfile/Cp932.h"
#include "regfile/Utf8.h"

bool WriteNewFile(const std::string& path, std::string_view bytes, TMessage& error) {
  // mkstemp makes the file private; it gets the permissions a new file would.
  const mode_t mask = umask(0);
  umask(mask);
  TMessage reason;
  if (!posix::ReplaceFile(
          path, 0666 & ~mask, nullptr, false, [bytes](int fd) { return posix::WriteAll(fd, bytes); }, reason)) {
    error = "cannot write " + QuotedPath(path) + ": " + reason;
    return false;
  }
  return true;
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
  if (stat(folder.c_str(), &info) != 0)
    return refuse("the folder " + QuotedPath(folder) + " of " + shown + " cannot be used: " + std::strerror(errno));
  if (!S_ISDIR(info.st_mode)) return refuse(QuotedPath(folder) + " in " + shown + " is not a folder");
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return refuse("the folder " + QuotedPath(folder) + " of " + shown + " cannot be written: " + std::strerror(errno));
  // The file is first written under its name and a suffix of 7 characters.
  const size_t slash = path.rfind('/');
  const size_t nameLength = path.size() - (slash == std::string::npos ? 0 : slash + 1);
  const long longestName = pathconf(folder.c_str(), _PC_NAME_MAX);
  if ((longestName > 0 && nameLength + 7 > static_cast<size_t>(longestName)) || path.size() + 7 >= PATH_MAX)
    return refuse("the name " + shown + " is too long");
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
