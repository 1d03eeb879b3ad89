#include "cleaner/Tinst0.h"

Tinst0::Tinst0(REGSAM view) : view_(view) {
  reg_.SelectView(view_);
  reg_.SelectRoot(HKEY_LOCAL_MACHINE);
}

bool Tinst0::CleanInstallerEntries() {
  TRemovalPlan plan;
  const bool ran = PlanInstallerEntries(plan);
  std::vector<LONG> answers;
  RemovePlanned(plan, answers);
  return ran;
}

bool Tinst0::CleanSharedDlls() {
  TRemovalPlan plan;
  const bool ran = PlanSharedDlls(plan);
  std::vector<LONG> answers;
  RemovePlanned(plan, answers);
  return ran;
}
