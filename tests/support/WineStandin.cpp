// The stand-in build runs on the stand-in's registry, never on Wine's.
#include "support/Sandbox.h"

bool RunningUnderWine() { return false; }
