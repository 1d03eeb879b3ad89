// Any bytes as a machine registry: when they read, both passes run over them
// and the cleaned registry writes a file that reads again.
#include <cstdint>
#include <cstdlib>

#include "cleaner/Tinst0.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  try {
    standin::ReplaceMachine(standin::ReadKeyTree(std::string_view(reinterpret_cast<const char*>(data), size)));
  } catch (const standin::RegFileError&) {
    return 0;
  }
  {
    Tinst0 cleaner;
    if (!cleaner.CleanInstallerEntries() || !cleaner.CleanSharedDlls()) std::abort();
  }
  try {
    standin::ReadKeyTree(standin::WriteKeyTree(standin::Machine()));
  } catch (const standin::RegFileError&) {
    std::abort();
  }
  standin::ReplaceMachine(std::make_unique<standin::KeyTree>());
  return 0;
}
