#include "t_uninst/Restore.h"

#include "backup/Restore.h"
#include "platform/ErrorText.h"
#include "platform/Output.h"
#include "t_uninst/Log.h"
#include "t_uninst/RunEvent.h"

namespace {

using TFate = TRestoredItem::TFate;

std::string Count(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

TMessage KeyName(const TRestoredItem& item) {
  return std::string(item.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
         TMessage::Name(item.Path);
}

TMessage ValueName(const TRestoredItem& item) { return item.Value.empty() ? "@" : TMessage::Name(item.Value); }

// The log's line: what became of the key or value, what it is, the key,
// a value's name, and why it was not put back.
TMessage LogLine(const TRestoredItem& item) {
  static constexpr const char* kFates[] = {"restored", "there already", "not restored"};
  TMessage line =
      std::string(kFates[static_cast<int>(item.Fate)]) + (item.IsKey ? "\tkey\t" : "\tvalue\t") + KeyName(item);
  if (!item.IsKey) line += "\t" + ValueName(item);
  if (item.Fate == TFate::kNotRestored) line += TMessage("\t") + ErrorText(item.Error);
  return line;
}

// The line of standard error for what could not be put back: its key
// below the root, a value's name, why.
TMessage FailureLine(const TRestoredItem& item) {
  TMessage line = TMessage::Name(item.Path);
  if (!item.IsKey) line += " \"" + TMessage::Name(item.Value) + "\"";
  return line + TMessage(": ") + ErrorText(item.Error) + "\n";
}

// What one file gave.
TMessage FileLine(const TRestoredFile& file) {
  if (file.Keys + file.Values == 0)
    return "Everything " + GivenPath(file.Name) + " holds is in the machine registry already: nothing was changed.\n";
  TMessage line = "Restored " + Count(file.Keys, "key") + " and " + Count(file.Values, "value") + " from " +
                  GivenPath(file.Name) + ".";
  if (file.Present > 0)
    line += TMessage(" ") + Count(file.Present, "value") + (file.Present == 1 ? " was" : " were") + " there already.";
  return line + "\n";
}

}  // namespace

ExitCode RunRestore(const std::string& file) {
  const TRestore restore = RestoreBackup(file);
  if (restore.End == TRestore::TEnd::kRefused) {
    WriteError("t_uninst: " + restore.Why + "; nothing was restored\n");
    return ExitCode::kUsage;
  }
  // Until it is saved, the registry holds none of it.
  if (!restore.Saved) {
    WriteError("t_uninst: " + restore.Why + "\n");
    return ExitCode::kNotSaved;
  }
  TMessage said, failed;
  size_t keys = 0, values = 0;
  for (const TRestoredFile& each : restore.Files) {
    said += FileLine(each);
    keys += each.Keys;
    values += each.Values;
  }
  RecordRestore(file, keys, values);
  for (const TRestoredItem& item : restore.Items) {
    Log(LogLine(item));
    if (item.Fate == TFate::kNotRestored) failed += FailureLine(item);
  }
  WriteOutput(said);
  if (failed.empty()) return ExitCode::kDone;
  WriteError("t_uninst: these could not be put back:\n" + failed);
  return ExitCode::kNotSaved;
}
