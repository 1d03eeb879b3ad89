// The installer and uninstall pass.
#include "ProductKeys.h"
#include "Tinst0.h"

namespace {

void DeleteProductCodes(TRegistry& reg) {
  for (std::string_view code : kProductCodes) reg.DeleteTree(std::string(code));
}

}  // namespace

bool Tinst0::CleanInstallerEntries() {
  try {
    TRegistry crt;
    crt.SelectView(view_);
    crt.SelectRoot(HKEY_LOCAL_MACHINE);
    for (std::string_view list : kTestedLists) {
      if (!reg_.OpenExisting(std::string(list))) continue;
      const std::string prefix = std::string(list) + "\\";
      TStringList names;
      reg_.ListSubkeys(names);
      for (const std::string& name : names) {
        if (!KeyMentionsProduct(prefix + name)) continue;
        reg_.DeleteTree(name);
        // A value of the same name in the list itself goes too.
        reg_.RemoveValue(name);
      }
    }
    for (std::string_view list : kMachineProductLists)
      if (reg_.OpenExisting(std::string(list))) DeleteProductCodes(reg_);
    crt.SelectRoot(HKEY_CLASSES_ROOT);
    if (crt.OpenExisting(std::string(kClassesProductList))) DeleteProductCodes(crt);
    return true;
  } catch (...) {
    return false;
  }
}
