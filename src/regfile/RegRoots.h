// The predefined roots a .reg file can name, in their long and short
// spellings. HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
#pragma once

#include <cstdint>
#include <string_view>

namespace regfile {

enum RootIndex : std::uint8_t { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig, kRootCount };

// How a [key] line spelled its root.
enum class RootSpelling : std::uint8_t { kLong, kShort };

struct RootName {
  std::u16string_view longName;
  std::u16string_view shortName;
};

inline const RootName& NameOfRoot(std::uint8_t root) {
  static constexpr RootName kNames[kRootCount] = {
      {u"HKEY_CLASSES_ROOT", u"HKCR"}, {u"HKEY_CURRENT_USER", u"HKCU"},   {u"HKEY_LOCAL_MACHINE", u"HKLM"},
      {u"HKEY_USERS", u"HKU"},         {u"HKEY_CURRENT_CONFIG", u"HKCC"},
  };
  return kNames[root];
}

}  // namespace regfile
