#include "t_uninst/ExitCode.h"

namespace {

constexpr TExitCodeMeaning kMeanings[] = {
    {ExitCode::kDone, "done, or nothing of ZobrikLine found; also after Cancel"},
    {ExitCode::kTracesFound, "--check found traces of ZobrikLine (a run would remove them)"},
    {ExitCode::kUsage, "usage, an unusable registry file, or a FILE that cannot be used"},
    {ExitCode::kNotSaved, "the changes could not be saved"},
    {ExitCode::kNoBackup, "the backup could not be written; nothing was removed"},
    {ExitCode::kItemsLeft, "some items could not be removed and are still there"},
    {ExitCode::kNobodyToAnswer, "nobody can answer the confirmation here (use --quiet); nothing was changed"},
    {ExitCode::kUnfinished, "the run did not finish (out of memory, or another error); it says what it removed"},
    {ExitCode::kNotWrittenWhole,
     "the run did what it says, but its log or output could not be written whole (standard error says why)"},
    {ExitCode::kBusy,
     "Windows Installer is busy with an installation, or another run of t_uninst is changing the registry; "
     "nothing was changed: retry later"},
};

}  // namespace

std::span<const TExitCodeMeaning> ExitCodeMeanings() { return kMeanings; }
