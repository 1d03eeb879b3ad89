#include "t_uninst/Unfinished.h"

#include <exception>
#include <new>

#include "platform/Dialogs.h"
#include "platform/Output.h"
#include "t_uninst/Messages.h"

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "an unexpected error";
  }
}

TMessage UnfinishedLine(const TMessage& reason, size_t removed, const std::string& backupFile) {
  TMessage line = "t_uninst: the run did not finish: " + reason + "; ";
  if (removed == 0) {
    line += "nothing was removed";
  } else {
    line += std::to_string(removed) + (removed == 1 ? " item was removed" : " items were removed");
    if (!backupFile.empty())
      line += ", and the backup " + QuotedPath(backupFile) + " holds " + (removed == 1 ? "it" : "them");
  }
  return line + "; run t_uninst again before reinstalling ZobrikLine";
}

void ShowUnfinishedBox(size_t removed, bool inBackup) {
  std::string text = std::string(kUnfinished) + "\r";
  if (removed == 0)
    text += kUnfinishedNothingRemoved;
  else
    text += kUnfinishedRemovedBefore + std::to_string(removed) + kUnfinishedRemovedAfter;
  if (removed > 0 && inBackup) text += std::string("\r") + kUnfinishedInBackup;
  text += std::string("\r") + kRunAgain;
  ShowMessageBox(text, kCaption, MB_OK);
}
