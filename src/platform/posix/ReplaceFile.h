// Writing files whole or not at all on a POSIX system: shared by the
// machine registry file and the backup.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/Message.h"

namespace posix {

std::string FolderOf(const std::string& path);
bool WriteAll(int fd, std::string_view bytes);

// Writes a new file beside `path` through `write`, gives it `mode` (and,
// where the system lets it, `owner`'s owner and group), flushes it, renames
// it over `path` and flushes the folder: `path` is either the old file or
// the new one. With `replace` false, an existing `path` is left alone and
// the write refused. On failure removes the new file and gives the reason.
bool ReplaceFile(const std::string& path, mode_t mode, const struct stat* owner, bool replace,
                 const std::function<bool(int fd)>& write, TMessage& error);

}  // namespace posix
