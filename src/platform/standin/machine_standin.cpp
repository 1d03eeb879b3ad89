// The run's platform on systems without Windows: the machine registry is a
// .reg file named by T_UNINST_REGISTRY.
#include <cstdio>
#include <cstdlib>

#include "../machine.h"
#include "machine_file.h"

namespace {
constexpr int kNoRegistryExitCode = 2;
}

bool AttachMachineRegistry(int& exitCode) {
  const char* path = std::getenv(standin::kRegistryVariable);
  std::string error;
  if (path == nullptr || *path == '\0') {
    error = std::string("no machine registry: set ") + standin::kRegistryVariable +
            " to the .reg file that stands for this machine's registry, for example\n  " + standin::kRegistryVariable +
            "=machine.reg t_uninst";
  } else if (standin::AttachMachineFile(path, error)) {
    return true;
  }
  std::fprintf(stderr, "t_uninst: %s\n", error.c_str());
  exitCode = kNoRegistryExitCode;
  return false;
}

std::vector<REGSAM> RegistryViews() { return {0}; }
