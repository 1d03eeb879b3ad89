// The lines of one value in a .reg file, as regedit writes them: shared by
// the stand-in's machine file and the backup of what a run removes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace regfile {

// How a REGEDIT4 file holds text: in the ANSI code page.
struct TAnsiForm {
  bool (*CanHold)(std::u16string_view text);
  std::string (*Encode)(std::u16string_view text);
};

// Appends one value's lines to `out`, the last line end included. `name` empty is the
// default value (@). Data regedit would lose is written as hex: a string
// with a NUL before its end, without its final NUL or with a line break in
// it, as hex(1); a DWORD not four bytes long as hex(4). `ansi`, for a
// REGEDIT4 file, says how its text is held; null for version 5.00 files.
void AppendRegValue(std::u16string& out, std::u16string_view name, std::uint32_t type,
                    std::span<const std::uint8_t> data, std::u16string_view newline, const TAnsiForm* ansi = nullptr);

}  // namespace regfile
