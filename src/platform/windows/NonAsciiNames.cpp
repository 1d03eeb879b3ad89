// Windows cannot tell without reading every name.
#include "platform/NonAsciiNames.h"

bool MayHoldNonAsciiNames(HKEY) { return true; }
