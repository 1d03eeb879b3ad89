#include "Leftovers.h"

#include "../platform/dialogs.h"
#include "../platform/error_text.h"
#include "../platform/output.h"
#include "ItemText.h"
#include "Messages.h"

std::string LeftoverLine(const TLeftover& left, bool namedViews) {
  const std::string reason = left.Reason == ERROR_SUCCESS ? "still there after its removal" : ErrorText(left.Reason);
  return ItemPlace(left.Item, namedViews) + "\t" + reason + "\n";
}

void ReportLeftovers(const std::vector<TLeftover>& left, bool namedViews) {
  std::string lines = "t_uninst: " + std::to_string(left.size()) + " of the items to remove are still there:\n";
  for (const TLeftover& item : left) lines += LeftoverLine(item, namedViews);
  WriteError(lines);
  ShowMessageBox((kLeftoversBefore + std::to_string(left.size()) + kLeftoversAfter).c_str(), kCaption, MB_OK);
}
