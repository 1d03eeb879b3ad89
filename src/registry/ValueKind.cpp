#include "registry/ValueKind.h"

TValueKind KindOfType(DWORD type) {
  switch (type) {
    case REG_SZ:
      return vkString;
    case REG_EXPAND_SZ:
      return vkExpandString;
    case REG_BINARY:
      return vkBinary;
    case REG_DWORD:
      return vkInteger;
    default:
      return vkUnknown;
  }
}
