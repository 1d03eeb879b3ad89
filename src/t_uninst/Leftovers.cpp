#include "t_uninst/Leftovers.h"

#include "platform/Dialogs.h"
#include "platform/ErrorText.h"
#include "platform/Output.h"
#include "platform/RunPlace.h"
#include "t_uninst/ItemText.h"
#include "t_uninst/Messages.h"

namespace {

TMessage Reason(const TLeftover& left) {
  const LONG answer = left.Reason;
  if (answer == kUnreachable) return "not removed: " + left.Item.Why;
  if (answer == kNotInBackup) return "not removed: it cannot be read whole, so the backup cannot hold it";
  if (answer == ERROR_SUCCESS) return "still there after its removal";
  return ErrorText(answer);
}

}  // namespace

TMessage LeftoverLine(const TLeftover& left, bool namedViews) {
  return ItemPlace(left.Item, namedViews) + "\t" + Reason(left);
}

TMessage LeftoversText(const std::vector<TLeftover>& left, bool namedViews) {
  TMessage lines = "t_uninst: " + std::to_string(left.size()) +
                   (left.size() == 1 ? " item to remove is still there:\n" : " items to remove are still there:\n");
  for (const TLeftover& item : left) lines += LeftoverLine(item, namedViews) + "\n";
  return lines;
}

void ReportLeftovers(const std::vector<TLeftover>& left, bool namedViews, const std::string& logFile,
                     const std::string& backupFile) {
  WriteError(LeftoversText(left, namedViews));
  TMessage text = kLeftoversBefore + std::to_string(left.size()) + kLeftoversAfter + "\r";
  // Running again as an administrator helps only a run that is not one.
  text += RunPlace().Elevated ? kLeftoversByHand : kLeftoversRunAsAdministrator;
  text += "\r" + std::string(kLeftoversListed);
  // Started from Explorer, the program has no console: the log keeps the list.
  if (!logFile.empty()) text += "\r" + std::string(kLeftoversInLog) + "\r" + GivenPath(logFile);
  if (!backupFile.empty()) text += "\r" + std::string(kLeftoversInBackup) + "\r" + GivenPath(backupFile);
  ShowMessageBox(text, kCaption, MB_OK);
}
