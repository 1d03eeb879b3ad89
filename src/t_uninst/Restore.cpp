#include "t_uninst/Restore.h"

#include "backup/Restore.h"
#include "platform/ErrorText.h"
#include "platform/Escape.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "t_uninst/Log.h"
#include "t_uninst/RunEvent.h"

namespace {

using TFate = TRestoredItem::TFate;

std::string Count(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

// The fields that name the key or value, as the log names a cleaning's
// items (ItemFields): its view, what it is, the key, a value's name.
std::vector<TMessage> ItemFields(const TRestoredItem& item, bool namedViews) {
  const TMessage view = !namedViews ? "-" : (item.View & KEY_WOW64_32KEY) != 0 ? "32-bit" : "64-bit";
  const TMessage key = std::string(item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
                       TMessage::Name(item.Path);
  TMessage value;
  if (!item.IsKey) value = item.Value.empty() ? TMessage("@") : "\"" + TMessage::Name(item.Value) + "\"";
  return {view, item.IsKey ? "key" : "value", key, value};
}

// The log's event: what became of the key or value, and for one not put
// back why.
void LogItem(const TRestoredItem& item, bool namedViews) {
  static constexpr const char* kFates[] = {"restored", "there already", "not restored"};
  std::vector<TMessage> fields = ItemFields(item, namedViews);
  if (item.Fate == TFate::kNotRestored) fields.emplace_back(ErrorText(item.Error));
  LogEvent(kFates[static_cast<int>(item.Fate)], fields);
}

// What one file gave.
TMessage FileLine(const TRestoredFile& file) {
  if (file.Keys + file.Values + file.Failed == 0)
    return "Everything " + GivenPath(file.Name) + " holds is in the registry already: nothing was changed.\n";
  TMessage line = "Restored " + Count(file.Keys, "key") + " and " + Count(file.Values, "value") + " from " +
                  GivenPath(file.Name) + ".";
  if (file.Present > 0)
    line += TMessage(" ") + Count(file.Present, "value") + (file.Present == 1 ? " was" : " were") + " there already.";
  if (file.Failed > 0) line += TMessage(" ") + std::to_string(file.Failed) + " could not be put back.";
  return line + "\n";
}

// Says why the restore failed, on standard error and in the log; the
// summary says it too.
ExitCode Failed(const TMessage& why, ExitCode code) {
  RunRecord().Summary = why;
  WriteError(why + "\n");
  LogError(why);
  return code;
}

}  // namespace

ExitCode RunRestore(const std::string& file) {
  const TRestore restore = RestoreBackup(file);
  if (restore.End == TRestore::TEnd::kRefused)
    return Failed("t_uninst: " + restore.Why + "; nothing was restored", ExitCode::kUsage);
  // Until it is saved, the registry holds none of it.
  if (!restore.Saved) return Failed("t_uninst: " + restore.Why + "; nothing was restored", ExitCode::kNotSaved);
  const bool namedViews = RegistryViews().size() > 1;
  for (const TRestoredItem& item : restore.Items) LogItem(item, namedViews);
  TMessage said;
  size_t keys = 0, values = 0, failed = 0;
  for (const TRestoredFile& each : restore.Files) {
    said += FileLine(each);
    keys += each.Keys;
    values += each.Values;
  }
  // With one file, the summary says what it gave.
  if (restore.Files.size() > 1) WriteOutput(said);
  TMessage notPutBack;
  for (const TRestoredItem& item : restore.Items) {
    if (item.Fate != TFate::kNotRestored) continue;
    std::vector<TMessage> fields = ItemFields(item, namedViews);
    fields.emplace_back(ErrorText(item.Error));
    notPutBack += Record(fields) + "\n";
    ++failed;
  }
  RecordRestore(file, keys, values, failed);
  if (failed == 0) return ExitCode::kDone;
  WriteError("t_uninst: these could not be put back:\n" + notPutBack);
  return ExitCode::kNotSaved;
}
