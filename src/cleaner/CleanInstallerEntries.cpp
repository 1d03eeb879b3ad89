// The installer and uninstall pass.
#include "cleaner/ProductKeys.h"
#include "cleaner/Tinst0.h"

namespace {

void PlanProductCodes(TRegistry& reg, TRemovalPlan& plan) {
  for (std::string_view code : kProductCodes) plan.AddKey(reg, std::string(code), "a product code of ZobrikLine");
}

TMessage WhyMentioned(const TProductMention& mention) {
  return "its value \"" + TMessage::AnsiName(mention.ValueName) + "\" mentions ZobrikLine in its " +
         (mention.InData ? "data" : "name");
}

}  // namespace

bool Tinst0::CleanInstallerEntries(TRemovalPlan& plan) {
  try {
    TRegistry crt;
    crt.SelectView(view_);
    crt.SelectRoot(HKEY_LOCAL_MACHINE);
    // The tested lists are only read: one that refuses to be changed is
    // still searched, and what stays of it is reported.
    TRegistry lists;
    lists.SelectView(view_);
    lists.SelectRoot(HKEY_LOCAL_MACHINE);
    lists.SelectRights(KEY_READ);
    for (std::string_view list : kTestedLists) {
      if (!lists.OpenExisting(std::string(list))) continue;
      std::string path = std::string(list) + "\\";
      const size_t prefix = path.size();
      TStringList names;
      lists.ListSubkeys(names);
      for (const std::string_view listed : names) {
        TProductMention mention;
        path.resize(prefix);
        path += listed;
        if (!KeyMentionsProduct(path, mention)) continue;
        const std::string name(listed);
        plan.AddKey(lists, name, WhyMentioned(mention));
        // A value of the same name in the list itself goes too.
        plan.AddValue(lists, name, "the list's entry for its subkey of the same name, which goes too");
      }
    }
    for (std::string_view list : kMachineProductLists)
      if (reg_.OpenExisting(std::string(list))) PlanProductCodes(reg_, plan);
    crt.SelectRoot(HKEY_CLASSES_ROOT);
    if (crt.OpenExisting(std::string(kClassesProductList))) PlanProductCodes(crt, plan);
    return true;
  } catch (...) {
    return false;
  }
}
