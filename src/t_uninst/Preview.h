// `t_uninst --preview`: what a run would remove, one item a line, in the
// order it would remove them; nothing is changed and no box is shown.
#pragma once

#include "t_uninst/ExitCode.h"

ExitCode RunPreview();
