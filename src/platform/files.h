// Files the program writes besides the registry: written whole or not at
// all, and checked.
#pragma once

#include <string>
#include <string_view>

// Writes a file that does not exist yet: `bytes` go to a temporary file
// beside `path`, flushed to disk, which then takes the name `path` unless a
// file has it (that one is never replaced). On failure gives false with the
// reason, and leaves no partial file.
bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& error);

// Whether a new file can be written at `path`, as far as can be told
// before writing it: no file has the name, the folder exists and may be
// written, and the name is not too long. If not, gives false with the
// reason, naming the file or its folder.
bool CanWriteNewFile(const std::string& path, std::string& error);
