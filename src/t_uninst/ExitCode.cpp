#include "t_uninst/ExitCode.h"

namespace {

constexpr TExitCodeMeaning kMeanings[] = {
    {ExitCode::kDone, "done, or nothing of ZobrikLine found; also after Cancel"},
    {ExitCode::kUsage, "usage, an unusable registry file, or a FILE that cannot be used"},
    {ExitCode::kNotSaved, "the changes could not be saved"},
    {ExitCode::kNoBackup, "the backup could not be written; nothing was removed"},
    {ExitCode::kItemsLeft, "some items could not be removed and are still there"},
    {ExitCode::kUnfinished, "the run did not finish (out of memory, or another error); it says what it removed"},
};

}  // namespace

std::span<const TExitCodeMeaning> ExitCodeMeanings() { return kMeanings; }
