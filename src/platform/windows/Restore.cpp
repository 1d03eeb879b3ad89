// Undo on Windows: a backup's keys and values put back through the wide
// registry functions, each file into the view it came from, every type and
// byte as saved. A restore never deletes: what the machine holds stays.
#include "platform/Restore.h"

#include <memory>
#include <vector>

#include "platform/ErrorText.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/Output.h"
#include "platform/windows/CodePages.h"
#include "regfile/RegFileReader.h"

namespace {

using Wide = std::basic_string<WCHAR>;

Wide ToWide(std::u16string_view text) { return Wide(text.begin(), text.end()); }

std::string Ansi(std::u16string_view text) { return NarrowFrom(CP_ACP, ToWide(text)); }

struct TSavedValue {
  Wide Name;
  DWORD Type = 0;
  std::vector<BYTE> Data;
};

struct TSavedKey {
  HKEY Root = nullptr;
  Wide Path;
  std::vector<TSavedValue> Values;
};

// What a backup holds: its keys and values in the file's order, and
// whether it also removes anything, which no backup does.
class TBackupReader : public regfile::RegFileEvents {
 public:
  std::vector<TSavedKey> Keys;
  bool Removes = false;
  bool OtherRoot = false;

  bool SameName(std::u16string_view a, std::u16string_view b) const override {
    return CompareStringOrdinal(ToWide(a).c_str(), static_cast<int>(a.size()), ToWide(b).c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
  }
  void Signature(std::u16string_view, std::u16string_view, bool) override {}
  void Section(size_t, const regfile::KeyPath& key, std::u16string_view, std::u16string_view) override {
    TSavedKey saved;
    if (key.root == regfile::kLocalMachine)
      saved.Root = HKEY_LOCAL_MACHINE;
    else if (key.root == regfile::kClassesRoot)
      saved.Root = HKEY_CLASSES_ROOT;
    else
      OtherRoot = true;
    regfile::ForEachName(key.below, [&saved](std::u16string_view name) {
      if (!saved.Path.empty()) saved.Path += L'\\';
      saved.Path += ToWide(name);
    });
    Keys.push_back(std::move(saved));
  }
  bool KeyRemoval(size_t, const regfile::KeyPath&, std::u16string_view, std::u16string_view) override {
    Removes = true;
    return true;
  }
  void Value(size_t, const regfile::ValueLines& value, std::u16string_view) override {
    if (Keys.empty()) return;
    Keys.back().Values.push_back({ToWide(value.name), value.type, {value.data.begin(), value.data.end()}});
  }
  bool ValueRemoval(size_t, std::u16string_view, std::u16string_view, std::u16string_view) override {
    Removes = true;
    return true;
  }
  void End(std::u16string_view, regfile::Encoding) override {}
};

// One file of a backup, read whole before anything is changed.
struct TBackupFile {
  std::string Name;
  REGSAM View = 0;
  TBackupReader Content;
};

// The text of a file's comments names its 32-bit part, and says whether it
// is one: "(the 32-bit view)", or before /reg:32 was given "for the 32-bit
// view)".
std::u16string Text(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return text;
}

// Reads `name` into `file`; on failure gives false with the reason.
bool Read(const std::string& name, TBackupFile& file, std::string& bytes, std::string& error) {
  file.Name = name;
  if (!ReadWholeFile(name, bytes)) {
    error = "the backup '" + GivenPath(name) + "' cannot be read: " + ErrorText(static_cast<LONG>(GetLastError()));
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
    error = GivenPath(name) + ":" + std::to_string(e.line()) + ": " + e.what();
    return false;
  }
  if (file.Content.Removes || file.Content.OtherRoot) {
    error =
        "the file '" + GivenPath(name) + "' is no backup of t_uninst: it removes keys or values, or names other roots";
    return false;
  }
  return true;
}

bool Holds(HKEY key, const TSavedValue& value) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, value.Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != value.Type || size != value.Data.size())
    return false;
  std::vector<BYTE> data(size + 1);
  return RegQueryValueExW(key, value.Name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS &&
         std::equal(value.Data.begin(), value.Data.end(), data.begin());
}

std::string Count(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string KeyName(const TSavedKey& saved) {
  std::string name = saved.Root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\";
  name += NarrowFrom(CP_ACP, saved.Path);
  return name;
}

std::string ValueName(const TSavedValue& value) { return value.Name.empty() ? "@" : NarrowFrom(CP_ACP, value.Name); }

// Puts one file back; counts what it made and set, names what it could
// not, and reports each key and value as it is put back.
void PutBack(const TBackupFile& file, size_t& keys, size_t& values, size_t& present, std::string& failed,
             const TLineReport& report) {
  const auto tell = [&report](const std::string& line) {
    if (report) report(line);
  };
  for (const TSavedKey& saved : file.Content.Keys) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG rc = RegCreateKeyExW(saved.Root, saved.Path.c_str(), 0, nullptr, 0,
                                    KEY_QUERY_VALUE | KEY_SET_VALUE | file.View, nullptr, &key, &disposition);
    const std::string name = KeyName(saved);
    if (rc != ERROR_SUCCESS) {
      failed += Ansi(std::u16string(saved.Path.begin(), saved.Path.end())) + ": " + ErrorText(rc) + "\n";
      tell("not restored\tkey\t" + name + "\t" + ErrorText(rc));
      continue;
    }
    keys += disposition == REG_CREATED_NEW_KEY;
    if (disposition == REG_CREATED_NEW_KEY) tell("restored\tkey\t" + name);
    for (const TSavedValue& value : saved.Values) {
      std::string line = name;
      line.append("\t").append(ValueName(value));
      if (Holds(key, value)) {
        ++present;
        tell("there already\tvalue\t" + line);
        continue;
      }
      const LONG set = RegSetValueExW(key, value.Name.c_str(), 0, value.Type, value.Data.data(),
                                      static_cast<DWORD>(value.Data.size()));
      if (set == ERROR_SUCCESS) {
        ++values;
        tell("restored\tvalue\t" + line);
      } else {
        failed += Ansi(std::u16string(saved.Path.begin(), saved.Path.end())) + " \"" +
                  Ansi(std::u16string(value.Name.begin(), value.Name.end())) + "\": " + ErrorText(set) + "\n";
        tell("not restored\tvalue\t" + line + "\t" + ErrorText(set));
      }
    }
    RegCloseKey(key);
  }
}

}  // namespace

TRestoreEnd RestoreBackup(const std::string& file, const TLineReport& report) {
  const std::vector<REGSAM> views = RegistryViews();
  auto refuse = [](const std::string& why) {
    WriteError("t_uninst: " + why + "; nothing was restored\n");
    return TRestoreEnd::kRefused;
  };
  std::vector<std::unique_ptr<TBackupFile>> files;
  std::string bytes, error;
  files.push_back(std::make_unique<TBackupFile>());
  if (!Read(file, *files[0], bytes, error)) return refuse(error);
  const std::u16string text = Text(bytes);
  const bool is32 = text.find(u"32-bit view)") != std::u16string::npos;
  files[0]->View = is32 ? views.back() : views.front();
  // The 32-bit view's part, which the file's comment names, comes too.
  const std::u16string marker = u"; The 32-bit view's part is in \"";
  if (const size_t at = text.find(marker); at != std::u16string::npos && !is32) {
    const size_t start = at + marker.size(), end = text.find(u'"', start);
    files.push_back(std::make_unique<TBackupFile>());
    if (!Read(PathFrom(ToWide(text.substr(start, end - start))), *files[1], bytes, error)) return refuse(error);
    files[1]->View = views.back();
  }
  std::string done, failed;
  size_t changed = 0;
  for (const auto& part : files) {
    size_t keys = 0, values = 0, present = 0;
    PutBack(*part, keys, values, present, failed, report);
    changed += keys + values;
    if (keys + values == 0) {
      done += "Everything " + GivenPath(part->Name) + " holds is in the registry already: nothing was changed.\n";
      continue;
    }
    done +=
        "Restored " + Count(keys, "key") + " and " + Count(values, "value") + " from " + GivenPath(part->Name) + ".";
    // Appended piece by piece: " " + text trips a false -Wrestrict of GCC 12.
    if (present > 0)
      done.append(" ")
          .append(Count(present, "value"))
          .append(present == 1 ? " was" : " were")
          .append(" there already.");
    done += "\n";
  }
  WriteOutput(done);
  if (!failed.empty()) {
    WriteError("t_uninst: these could not be put back:\n" + failed);
    return TRestoreEnd::kNotSaved;
  }
  if (changed > 0 && RegFlushKey(HKEY_LOCAL_MACHINE) != ERROR_SUCCESS) return TRestoreEnd::kNotSaved;
  return TRestoreEnd::kRestored;
}
