// Files the program writes besides the registry: backups, written whole or
// not at all, and checked; and the log, appended to line by line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Message.h"

// Writes a file that does not exist yet: `bytes` go to a temporary file
// beside `path`, flushed to disk, which then takes the name `path` unless a
// file has it (that one is never replaced). On failure gives false with the
// reason, and leaves no partial file.
bool WriteNewFile(const std::string& path, std::string_view bytes, TMessage& error);

// Whether a new file can be written at `path`, as far as can be told
// before writing it: no file has the name, the folder exists, no folder on
// its way is a link (see MakeFoldersFor), the folder takes a new file (one
// is made there and removed), and the name is not too long. If not, gives
// false with the reason, naming the file or its folder.
bool CanWriteNewFile(const std::string& path, TMessage& error);

// Makes the missing folders of `path`: those above a file's name, or all
// of a folder's name that ends in a separator. Each new folder gets the
// rights it inherits from the one above it. A folder on the way that is a
// link (a symbolic link; on Windows any reparse point, a junction too) is
// refused, so that an elevated run never writes where a link planted in a
// folder anyone may write points. On failure gives false with the reason,
// naming the folder; the folders made before it stay.
bool MakeFoldersFor(const std::string& path, TMessage& error);

// The bytes of a file (on Windows, where the user named it, System32
// included). A file that is no regular file, a device or a pipe that may
// never end, is refused before it is read. On failure gives false with the
// reason, to follow the file's name: "is not a regular file", "cannot be
// read: ...".
bool ReadWholeFile(const std::string& path, std::string& bytes, TMessage& why);

// Whether `path` names an existing folder; whether anything has the name.
bool IsFolder(const std::string& path);
bool NameTaken(const std::string& path);

// The path of a file `name` in `folder`, which may end in a separator.
std::string PathInFolder(const std::string& folder, const std::string& name);

// A file that lines are appended to: the run's log. It is opened, or made,
// without following a link (or, on Windows, a reparse point) at its name,
// and only when it is a regular file of no other name (no hard link), so
// that an elevated run never writes where a link planted in a writable
// folder points. Each append goes to the
// system at once: a run that dies leaves every line appended before.
class TAppendFile {
 public:
  TAppendFile() = default;
  ~TAppendFile();
  TAppendFile(const TAppendFile&) = delete;
  TAppendFile& operator=(const TAppendFile&) = delete;

  // Opens `path` at its end, making it when missing; `empty` tells whether
  // it holds nothing yet. On failure gives false with the reason, naming
  // the file.
  bool Open(const std::string& path, bool& empty, TMessage& error);
  bool Append(std::string_view bytes);

 private:
  std::intptr_t handle_ = -1;
};

// A path as text in a file the program writes (the backup's comments): on
// Windows from the UTF-8 the program carries paths in; on the stand-in as
// code page 932, as the rest of the file's text.
std::u16string PathText(const std::string& path);
// The path that PathText wrote.
std::string PathFromText(std::u16string_view text);

// A line of the log: the message as UTF-8, each part converted by what it
// is, ended as the platform ends lines: CR LF on Windows, LF elsewhere.
std::string Utf8Line(const TMessage& line);
