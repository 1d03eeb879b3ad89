// A value's data as the registry functions hand it out, decoded from the
// file's text when asked: as the registry holds it (strings in UTF-16LE),
// or as the ANSI functions give it (strings in code page 932).
#pragma once

#include <string>

#include "platform/standin/registry/KeyTree.h"

namespace standin {

// Whether the registry holds data of the type as text.
bool IsStringType(std::uint32_t type);

// Appends the data as the registry holds it.
void AppendStored(const KeyTree& tree, const Value& value, std::string& out);

// The size of the data as the ANSI functions give it, and the data so.
size_t AnsiSize(const KeyTree& tree, const Value& value);
void AppendAnsi(const KeyTree& tree, const Value& value, std::string& out);

}  // namespace standin
