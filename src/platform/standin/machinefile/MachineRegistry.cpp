// The machine's registry on systems without Windows: a .reg file named by
// T_UNINST_REGISTRY.
#include "platform/MachineRegistry.h"

#include <cstdlib>
#include <vector>

#include "platform/ErrorText.h"
#include "platform/standin/machinefile/FileLayout.h"
#include "platform/standin/machinefile/MachineFile.h"
#include "platform/standin/win32/Standin.h"

TAttached AttachMachineRegistry(TRegistryUse use, TMessage& why) {
  const char* path = std::getenv(standin::kRegistryVariable);
  if (path != nullptr && *path != '\0') return standin::AttachMachineFile(path, why, use == TRegistryUse::kReadOnly);
  why = std::string("no machine registry: set ") + standin::kRegistryVariable +
        " to the .reg file that stands for this machine's registry, for example\n  " + standin::kRegistryVariable +
        "=machine.reg t_uninst";
  return TAttached::kRefused;
}

bool SaveMachineRegistry(TMessage& why) {
  // Both roots are one file: a second flush after a failed one would try,
  // and fail, the same save again.
  const LONG rc = RegFlushKey(HKEY_LOCAL_MACHINE);
  if (rc == ERROR_SUCCESS) return true;
  why =
      standin::SaveFailure().empty() ? "could not save the machine registry: " + ErrorText(rc) : standin::SaveFailure();
  return false;
}

bool RemovalsTakeEffectAtOnce() { return false; }

std::vector<REGSAM> RegistryViews() { return {0}; }

// The key as a section of the machine file names it: the root as the file
// spells it, then the names in their case, from that root down.
TMessage KeyAsTheUserFindsIt(HKEY root, REGSAM view, const std::string& path) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return {};
  const standin::Key* key = standin::KeyOfHandle(handle);
  RegCloseKey(handle);
  if (key == nullptr) return {};
  const standin::KeyTree& tree = standin::Machine();
  std::uint8_t top = standin::kLocalMachine;
  bool shortName = false;
  if (key->section >= 0) {
    const standin::Section& section = standin::LayoutOf(tree).sections[static_cast<size_t>(key->section)];
    top = section.root;
    shortName = section.spelling == standin::RootSpelling::kShort;
  }
  std::vector<const standin::Key*> chain;
  for (const standin::Key* k = key; k != nullptr && k != tree.Root(top); k = k->parent) chain.push_back(k);
  const standin::RootName& name = standin::NameOfRoot(top);
  std::u16string spelled(shortName ? name.shortName : name.longName);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    spelled += u'\\';
    (*it)->name.AppendTo(spelled);
  }
  return "[" + TMessage::Name(spelled) + "]";
}

std::string PlatformUsage() {
  return std::string("The machine's registry is the .reg file named by the environment variable\n") +
         standin::kRegistryVariable + ", which must be set: " + standin::kRegistryVariable +
         "=machine.reg t_uninst\n\n"
         "The boxes are shown on standard error and answered on standard input:\n"
         "  Enter or \"ok\" is OK; \"c\", \"cancel\" or Esc then Enter is Cancel;\n"
         "  input that ends before an answer is nobody to answer (exit code 6);\n"
         "  it closes the completion box.\n";
}
