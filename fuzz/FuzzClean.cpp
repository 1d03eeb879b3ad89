// Any bytes as a machine registry: when they read, the run's cleaning goes
// over them (both passes and the look for names they cannot spell, then the
// removals) and the cleaned registry writes a file that reads again.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cleaner/Plan.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  try {
    standin::ReplaceMachine(standin::ReadKeyTree(std::string_view(reinterpret_cast<const char*>(data), size)));
  } catch (const standin::RegFileError&) {
    return 0;
  }
  {
    const TRemovalPlan plan = PlanCleanup({0});
    if (plan.CutShort()) std::abort();
    std::vector<LONG> answers;
    RemovePlanned(plan, answers);
  }
  try {
    standin::ReadKeyTree(standin::WriteKeyTree(standin::Machine()));
  } catch (const standin::RegFileError&) {
    std::abort();
  }
  standin::ReplaceMachine(std::make_unique<standin::KeyTree>());
  return 0;
}
