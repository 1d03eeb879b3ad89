// The stand-in has one view: a key's name is its root tree's and its path
// there, which HKEY_CLASSES_ROOT's keys share with HKEY_LOCAL_MACHINE's.
#include "platform/KeyIdentity.h"

#include <vector>

#include "platform/standin/registry/Upcase.h"
#include "platform/standin/win32/Standin.h"

std::basic_string<WCHAR> KeyIdentity(HKEY key) {
  const standin::Key* found = standin::KeyOfHandle(key);
  if (found == nullptr) return {};
  std::vector<const standin::Key*> chain;
  const standin::Key* top = found;
  for (; top->parent != nullptr; top = top->parent) chain.push_back(top);
  // Each root tree has a name of its own; HKEY_CLASSES_ROOT lies in the machine's.
  std::u16string identity = u"\\REGISTRY\\";
  for (std::uint8_t root = 0; root < standin::kRootCount; ++root)
    if (root != standin::kClassesRoot && standin::Machine().Root(root) == top)
      identity += standin::NameOfRoot(root).longName;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    identity += u'\\';
    identity += standin::Upcase((*it)->name.Text());
  }
  return identity;
}
