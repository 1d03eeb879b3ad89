#include "cleaner/Tinst0.h"

Tinst0::Tinst0(REGSAM view) : view_(view) {
  reg_.SelectView(view_);
  reg_.SelectRoot(HKEY_LOCAL_MACHINE);
}
