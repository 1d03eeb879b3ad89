#include "platform/standin/machinefile/MachineFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "platform/Output.h"
#include "platform/posix/ReplaceFile.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"

namespace standin {
namespace {

std::string Reason() { return std::strerror(errno); }

// A read that failed, with the system's reason.
struct ReadFailure {
  std::string reason;
};

// Fills as much of the buffer as the file still holds.
size_t ReadUpTo(int fd, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, buffer + done, size - done);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw ReadFailure{Reason()};
    }
    done += static_cast<size_t>(n);
  }
  return done;
}

// The whole file, read into units (the tree reads a UTF-16 file's units in
// place), with room for the size it had: a file that grew is read to its end.
LargeArray<char16_t> ReadWhole(int fd, size_t expected, size_t& size) {
  LargeArray<char16_t> units(expected / 2 + 1);
  size = 0;
  for (;;) {
    const size_t capacity = 2 * units.size();
    size += ReadUpTo(fd, reinterpret_cast<char*>(units.get()) + size, capacity - size);
    if (size < capacity) return units;
    LargeArray<char16_t> grown(2 * units.size());
    std::memcpy(grown.get(), units.get(), size);
    units = std::move(grown);
  }
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The open machine file: its lock lives as long as the process.
struct MachineFile {
  std::string shown;   // the path as the user gave it
  std::string target;  // the file itself, links resolved
  int lock = -1;
  struct stat loaded {};
};

TMessage& LastSaveFailure() {
  static TMessage why;
  return why;
}

// Writes the tree to a temporary file beside the target, flushed to disk,
// and renames it over the target: the file is either the old or the new one.
LONG Save(MachineFile& file, KeyTree& tree) {
  LastSaveFailure() = {};
  if (!tree.changed) return ERROR_SUCCESS;
  auto fail = [&file](const TMessage& why) {
    LastSaveFailure() =
        "could not save the machine registry " + QuotedPath(file.shown) + ": " + why + "; the file is as it was";
    return ERROR_WRITE_FAULT;
  };
  struct stat now {};
  if (stat(file.target.c_str(), &now) != 0) return fail(Reason());
  if (!SameFile(now, file.loaded)) return fail("it was changed by another program since it was read");
  TMessage why;
  bool saved = false;
  try {
    saved = posix::ReplaceFile(
        file.target, file.loaded.st_mode & 07777, &file.loaded, true,
        [&tree](int fd) {
          return WriteKeyTree(tree, [fd](std::string_view piece) { return posix::WriteAll(fd, piece); });
        },
        why);
  } catch (const std::bad_alloc&) {
    why = "out of memory";
  } catch (const std::exception& e) {
    why = e.what();
  }
  if (!saved) return fail(why);
  stat(file.target.c_str(), &file.loaded);
  tree.changed = false;
  return ERROR_SUCCESS;
}

}  // namespace

const TMessage& SaveFailure() { return LastSaveFailure(); }

TAttached AttachMachineFile(const std::string& path, TMessage& error, bool readOnly) {
  auto file = std::make_shared<MachineFile>();
  file->shown = path;
  auto fail = [&error, &path](const std::string& why) {
    error = "the machine registry " + QuotedPath(path) + " " + why;
    return TAttached::kRefused;
  };
  // What the path names is judged first: a pipe given as /dev/fd/N exists,
  // though the name its link resolves to does not.
  struct stat info {};
  auto regular = [&info]() { return S_ISDIR(info.st_mode) ? "is a folder, not a .reg file" : "is not a regular file"; };
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return fail(regular());
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return fail("cannot be opened: " + Reason());
  file->target = resolved;
  if (stat(resolved, &info) != 0) return fail("cannot be opened: " + Reason());
  if (!S_ISREG(info.st_mode)) return fail(regular());
  // The cleaner must be able to write the registry back; a file marked
  // read-only is refused even for root, as a user without rights would be.
  if (!readOnly && ((info.st_mode & 0222) == 0 || access(resolved, W_OK) != 0))
    return fail("is read-only: the cleaner needs to write it (on Windows it needs administrator rights)");
  struct stat folder {};
  const std::string folderPath = posix::FolderOf(file->target);
  if (!readOnly &&
      (stat(folderPath.c_str(), &folder) != 0 || (folder.st_mode & 0222) == 0 || access(folderPath.c_str(), W_OK) != 0))
    return fail("is in a read-only folder: the cleaner writes the file anew beside it");
  file->lock = open(resolved, O_RDONLY | O_CLOEXEC);
  if (file->lock < 0) return fail("cannot be opened: " + Reason());
  // A reader takes no lock: a save replaces the file whole by a rename, so
  // the file it opened stays consistent, and a run waiting at its
  // confirmation neither waits for it nor holds it up.
  if (!readOnly && flock(file->lock, LOCK_EX | LOCK_NB) != 0) {
    const bool inUse = errno == EWOULDBLOCK;
    close(file->lock);
    fail(inUse ? "is in use by another run of t_uninst; nothing was asked or changed: run t_uninst again when it "
                 "is done"
               : "cannot be locked: " + Reason());
    return inUse ? TAttached::kInUse : TAttached::kRefused;
  }
  if (!readOnly) posix::RemoveLeftoverCopies(file->target);
  try {
    if (fstat(file->lock, &file->loaded) != 0) throw ReadFailure{Reason()};
    size_t size = 0;
    LargeArray<char16_t> bytes = ReadWhole(file->lock, static_cast<size_t>(file->loaded.st_size), size);
    ReplaceMachine(ReadKeyTree(std::move(bytes), size));
  } catch (const ReadFailure& e) {
    close(file->lock);
    return fail("cannot be read: " + e.reason);
  } catch (const RegFileError& e) {
    close(file->lock);
    error = GivenPath(path) + ":" + std::to_string(e.line()) + ": " + e.what();
    return TAttached::kRefused;
  } catch (const std::bad_alloc&) {
    // Not the file's fault: the run did not finish, and says why.
    close(file->lock);
    error = "out of memory while reading the machine registry " + QuotedPath(path);
    return TAttached::kCutShort;
  } catch (const std::exception& e) {
    close(file->lock);
    error = "while reading the machine registry " + QuotedPath(path) + ": " + e.what();
    return TAttached::kCutShort;
  }
  if (readOnly) {
    close(file->lock);
    SetFlushHandler([](KeyTree& tree) { return tree.changed ? ERROR_ACCESS_DENIED : ERROR_SUCCESS; });
    return TAttached::kReady;
  }
  SetFlushHandler([file](KeyTree& tree) { return Save(*file, tree); });
  return TAttached::kReady;
}

}  // namespace standin
