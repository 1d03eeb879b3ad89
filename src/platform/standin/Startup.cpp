// The program's start on systems without Windows.
#include "platform/Startup.h"

void LimitDllSearch() {}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }
