#include "backup/Restore.h"

#include <algorithm>
#include <memory>

#include "backup/BackupLine.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "regfile/RegFileReader.h"

namespace {

using TWide = std::basic_string<WCHAR>;

TWide Wide(std::u16string_view text) { return TWide(text.begin(), text.end()); }

struct TSavedValue {
  std::u16string Name;
  DWORD Type = 0;
  std::vector<BYTE> Data;
};

struct TSavedKey {
  HKEY Root = nullptr;
  std::u16string Path;
  std::vector<TSavedValue> Values;
};

// What a file of a backup holds: its keys and values in the file's order,
// the comments before its first key, and the first line that no backup
// holds: one that removes a key or value, or a key of another root.
class TBackupReader : public regfile::RegFileEvents {
 public:
  std::vector<TSavedKey> Keys;
  std::u16string Comments;
  size_t Removes = 0;
  size_t OtherRoot = 0;

  bool SameName(std::u16string_view a, std::u16string_view b) const override {
    return CompareStringOrdinal(Wide(a).c_str(), static_cast<int>(a.size()), Wide(b).c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
  }
  void Signature(std::u16string_view, std::u16string_view, bool) override {}
  void Section(size_t line, const regfile::KeyPath& key, std::u16string_view, std::u16string_view leading) override {
    if (Keys.empty()) Comments = leading;
    TSavedKey saved;
    if (key.root == regfile::kLocalMachine)
      saved.Root = HKEY_LOCAL_MACHINE;
    else if (key.root == regfile::kClassesRoot)
      saved.Root = HKEY_CLASSES_ROOT;
    else if (OtherRoot == 0)
      OtherRoot = line;
    regfile::ForEachName(key.below, [&saved](std::u16string_view name) {
      if (!saved.Path.empty()) saved.Path += u'\\';
      saved.Path += name;
    });
    Keys.push_back(std::move(saved));
  }
  bool KeyRemoval(size_t line, const regfile::KeyPath&, std::u16string_view, std::u16string_view) override {
    if (Removes == 0) Removes = line;
    return true;
  }
  void Value(size_t, const regfile::ValueLines& value, std::u16string_view) override {
    if (!Keys.empty())
      Keys.back().Values.push_back({std::u16string(value.name), value.type, {value.data.begin(), value.data.end()}});
  }
  bool ValueRemoval(size_t line, std::u16string_view, std::u16string_view, std::u16string_view) override {
    if (Removes == 0) Removes = line;
    return true;
  }
  void End(std::u16string_view trailer, regfile::Encoding) override {
    if (Keys.empty()) Comments = trailer;
  }
};

// One file of a backup, read whole before anything is changed.
struct TBackupFile {
  std::string Name;
  REGSAM View = 0;
  TBackupReader Content;
};

// Reads `name` into `file`; on failure gives false with the reason.
bool Read(const std::string& name, TBackupFile& file, TMessage& why) {
  file.Name = name;
  std::string bytes;
  if (IsFolder(name)) {
    why = "the backup " + QuotedPath(name) + " is a folder, not a .reg file";
    return false;
  }
  if (TMessage reason; !ReadWholeFile(name, bytes, reason)) {
    why = "the backup " + QuotedPath(name) + " " + reason;
    return false;
  }
  size_t at = 0;
  try {
    regfile::ReadRegFile(
        [&bytes, &at](char* buffer, size_t size) {
          const size_t count = std::min(size, bytes.size() - at);
          std::copy_n(bytes.data() + at, count, buffer);
          at += count;
          return count;
        },
        file.Content);
  } catch (const regfile::RegFileError& e) {
    why = GivenPath(name) + ":" + std::to_string(e.line()) + ": " + e.what();
    return false;
  }
  if (file.Content.Removes != 0) {
    why = "the file " + QuotedPath(name) + " removes keys or values ([-key] or \"name\"=-), which no backup does";
    return false;
  }
  if (file.Content.OtherRoot != 0) {
    why = GivenPath(name) + ":" + std::to_string(file.Content.OtherRoot) +
          ": a key of another root than HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT, which no backup holds";
    return false;
  }
  return true;
}

bool Holds(HKEY key, const TSavedValue& value) {
  DWORD type = 0, size = 0;
  const TWide name = Wide(value.Name);
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != value.Type ||
      size != value.Data.size())
    return false;
  std::vector<BYTE> data(size + 1);
  return RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS &&
         std::equal(value.Data.begin(), value.Data.end(), data.begin());
}

// Where the names of `path` that name no key yet end, the deepest first.
std::vector<size_t> MissingKeys(HKEY root, const std::u16string& path, REGSAM view) {
  std::vector<size_t> ends;
  for (size_t end = path.size(); end > 0;) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, Wide(path.substr(0, end)).c_str(), 0, view, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      break;
    }
    ends.push_back(end);
    const size_t slash = path.rfind(u'\\', end - 1);
    end = slash == std::u16string::npos ? 0 : slash;
  }
  return ends;
}

class TPutBack {
 public:
  explicit TPutBack(TRestore& restore) : restore_(restore) {}

  // Puts one file back, item by item.
  void File(const TBackupFile& file) {
    TRestoredFile& done = restore_.Files.emplace_back();
    done.Name = file.Name;
    for (const TSavedKey& saved : file.Content.Keys) Key(saved, file.View, done);
  }

 private:
  void Key(const TSavedKey& saved, REGSAM view, TRestoredFile& done) {
    const std::vector<size_t> missing = MissingKeys(saved.Root, saved.Path, view);
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyExW(saved.Root, Wide(saved.Path).c_str(), 0, nullptr, 0,
                                    KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) {
      Tell(TRestoredItem::TFate::kNotRestored, true, saved.Root, saved.Path, {}, rc);
      return;
    }
    // Each key made, from the highest down.
    for (auto end = missing.rbegin(); end != missing.rend(); ++end)
      Tell(TRestoredItem::TFate::kRestored, true, saved.Root, saved.Path.substr(0, *end), {}, ERROR_SUCCESS);
    done.Keys += missing.size();
    for (const TSavedValue& value : saved.Values) {
      if (Holds(key, value)) {
        ++done.Present;
        Tell(TRestoredItem::TFate::kThereAlready, false, saved.Root, saved.Path, value.Name, ERROR_SUCCESS);
        continue;
      }
      const LONG set = RegSetValueExW(key, Wide(value.Name).c_str(), 0, value.Type, value.Data.data(),
                                      static_cast<DWORD>(value.Data.size()));
      done.Values += set == ERROR_SUCCESS;
      Tell(set == ERROR_SUCCESS ? TRestoredItem::TFate::kRestored : TRestoredItem::TFate::kNotRestored, false,
           saved.Root, saved.Path, value.Name, set);
    }
    RegCloseKey(key);
  }

  void Tell(TRestoredItem::TFate fate, bool isKey, HKEY root, const std::u16string& path, const std::u16string& value,
            LONG error) {
    restore_.Items.push_back({fate, isKey, root, path, value, error});
  }

  TRestore& restore_;
};

}  // namespace

TRestore RestoreBackup(const std::string& file) {
  TRestore restore;
  const std::vector<REGSAM> views = RegistryViews();
  const auto refused = [&restore] {
    restore.End = TRestore::TEnd::kRefused;
    return restore;
  };
  std::vector<std::unique_ptr<TBackupFile>> files;
  files.push_back(std::make_unique<TBackupFile>());
  if (!Read(file, *files[0], restore.Why)) return refused();
  const TBackupPart part = ReadBackupPart(files[0]->Content.Comments);
  files[0]->View = part.ThirtyTwoBit ? views.back() : views.front();
  // The 32-bit view's part, which the first file names, comes too.
  if (!part.ThirtyTwoBit && !part.Other.empty()) {
    files.push_back(std::make_unique<TBackupFile>());
    if (!Read(PathFromText(part.Other), *files[1], restore.Why)) return refused();
    files[1]->View = views.back();
  }
  TPutBack putBack(restore);
  for (const auto& each : files) putBack.File(*each);
  const bool changed = std::any_of(restore.Files.begin(), restore.Files.end(),
                                   [](const TRestoredFile& f) { return f.Keys + f.Values > 0; });
  restore.Saved = !changed || SaveMachineRegistry(restore.Why);
  const bool allBack = std::none_of(restore.Items.begin(), restore.Items.end(), [](const TRestoredItem& item) {
    return item.Fate == TRestoredItem::TFate::kNotRestored;
  });
  restore.End = restore.Saved && allBack ? TRestore::TEnd::kRestored : TRestore::TEnd::kNotSaved;
  return restore;
}
