// The stand-in has one view: a key's name is its path from the machine's
// top, which HKEY_CLASSES_ROOT's keys share with HKEY_LOCAL_MACHINE's.
#include "../key_identity.h"
#include "standin.h"
#include "upcase.h"

std::basic_string<WCHAR> KeyIdentity(HKEY key) {
  const standin::Key* found = standin::KeyOfHandle(key);
  std::u16string identity;
  for (const standin::Key* k = found; k != nullptr && k->parent != nullptr; k = k->parent)
    identity = u"\\" + standin::Upcase(k->name) + identity;
  return found == nullptr ? identity : u"\\REGISTRY" + identity;
}
