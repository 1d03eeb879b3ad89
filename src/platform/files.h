// Files the program writes besides the registry: written whole or not at
// all, and checked.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, then reads the file back and compares. On
// failure gives false with the reason, and leaves no partial file; an
// older file at `path` stays unless the rename was done.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);
