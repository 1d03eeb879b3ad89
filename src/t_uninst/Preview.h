// `t_uninst --preview`: what a run would remove, one item a line, in the
// order it would remove them; its totals are the run's summary, which the
// program prints last. Nothing is changed and no box is shown.
#pragma once

#include "t_uninst/ExitCode.h"

ExitCode RunPreview();

// `t_uninst --check`, the detection run of a deployment tool: the same
// reading as the preview, and its list unless `quiet`; kTracesFound when a
// run would remove anything, else kDone.
ExitCode RunCheck(bool quiet);
