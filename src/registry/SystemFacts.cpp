#include "registry/SystemFacts.h"

#include "platform/Win32.h"

namespace {

bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

bool IsDoubleByteSystem() {
  switch (PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale()))) {
    case LANG_NEUTRAL:
    case LANG_DANISH:
    case LANG_GERMAN:
    case LANG_ENGLISH:
    case LANG_SPANISH:
    case LANG_FINNISH:
    case LANG_FRENCH:
    case LANG_ITALIAN:
    case LANG_DUTCH:
    case LANG_NORWEGIAN:
    case LANG_PORTUGUESE:
    case LANG_SWEDISH:
      return false;
    default:
      break;
  }
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) != 0 && info.LeadByte[0] != 0;
}

}  // namespace

bool NamesNeedDoubleBuffers() {
  static const bool value = IsNtFamily() && IsDoubleByteSystem();
  return value;
}
