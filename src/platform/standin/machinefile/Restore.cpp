// Undo on the stand-in: a backup's keys and values merged into the machine
// registry file.
#include "platform/Restore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Output.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/registry/ValueData.h"
#include "platform/standin/win32/Standin.h"
#include "regfile/Cp932.h"

namespace {

TRestoreEnd Refuse(const std::string& why) {
  WriteError("t_uninst: " + why + "; nothing was restored\n");
  return TRestoreEnd::kRefused;
}

// The key in `machine` at the place `key` has in `backup`, made when
// missing; `name` is its full name. A line in `lines` for each key made,
// counted in `created`.
standin::Key& Counterpart(standin::KeyTree& machine, const standin::KeyTree& backup, const standin::Key& key,
                          std::uint8_t root, std::string& name, std::vector<std::string>& lines, size_t& created) {
  std::vector<const standin::Key*> path;
  for (const standin::Key* k = &key; k != backup.Root(root) && k->parent != nullptr; k = k->parent) path.push_back(k);
  standin::Key* counterpart = machine.Root(root);
  std::u16string spelled(standin::NameOfRoot(root).longName);
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    bool made = false;
    counterpart = machine.Child(*counterpart, (*it)->name.Text(), &made);
    spelled += u'\\';
    (*it)->name.AppendTo(spelled);
    if (!made) continue;
    lines.push_back("restored\tkey\t" + regfile::Utf16ToCp932(spelled));
    ++created;
  }
  name = regfile::Utf16ToCp932(spelled);
  return *counterpart;
}

std::string ValueName(const standin::Value& value) {
  return value.name.empty() ? "@" : regfile::Utf16ToCp932(value.name.Text());
}

std::string Data(const standin::KeyTree& tree, const standin::Value& value) {
  std::string data;
  standin::AppendStored(tree, value, data);
  return data;
}

// The backup's bytes, or false with the reason it cannot be read. A backup
// is a regular file: a device or a pipe, which may never end, is refused
// before it is read (and before it is opened, which for a pipe may wait).
bool ReadBackup(const std::string& file, std::string& bytes, std::string& error) {
  struct stat info {};
  auto notRegular = [&error, &file](const struct stat& what) {
    error = "the backup '" + GivenPath(file) +
            (S_ISDIR(what.st_mode) ? "' is a folder, not a .reg file" : "' is not a regular file");
    return false;
  };
  if (stat(file.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return notRegular(info);
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0 || fstat(fd, &info) != 0) {
    error = "the backup '" + GivenPath(file) + "' cannot be read: " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    close(fd);
    return notRegular(info);
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) error = "the backup '" + GivenPath(file) + "' cannot be read: " + std::strerror(errno);
      close(fd);
      return n == 0;
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

bool Holds(const standin::KeyTree& machine, const standin::Key& key, const std::u16string& name, std::uint32_t type,
           const std::string& data) {
  const standin::Value* held = key.FindValue(name);
  return held != nullptr && held->type == type && Data(machine, *held) == data;
}

std::string Count(size_t count, const char* thing) {
  return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

}  // namespace

TRestoreEnd RestoreBackup(const std::string& file, const TLineReport& report) {
  std::string bytes, error;
  if (!ReadBackup(file, bytes, error)) return Refuse(error);
  std::unique_ptr<standin::KeyTree> backup;
  try {
    backup = standin::ReadKeyTree(bytes);
  } catch (const standin::RegFileError& e) {
    return Refuse(GivenPath(file) + ":" + std::to_string(e.line()) + ": " + e.what());
  }
  const standin::FileLayout& layout = standin::LayoutOf(*backup);
  if (layout.hadRemovals)
    return Refuse("the file '" + GivenPath(file) +
                  "' removes keys or values ([-key] or \"name\"=-), which no backup does");
  standin::KeyTree& machine = standin::Machine();
  // The log hears what was put back once it is saved: until then the
  // machine file holds none of it.
  std::vector<std::string> lines;
  size_t keys = 0, values = 0, present = 0;
  for (size_t i = 0; i < layout.sections.size(); ++i) {
    const standin::Section& section = layout.sections[i];
    if (section.key == nullptr || section.key->deleted) continue;
    // The values first set in this section: those whose lines lie in it.
    const std::uint32_t first = section.entry;
    const std::uint32_t end = i + 1 < layout.sections.size() ? layout.sections[i + 1].entry : standin::kNoEntry;
    std::string name;
    standin::Key& key = Counterpart(machine, *backup, *section.key, section.root, name, lines, keys);
    for (const standin::Value& v : section.key->Values()) {
      if (v.removed || v.entry < first || v.entry >= end) continue;
      const std::u16string valueName = v.name.Text();
      const std::string data = Data(*backup, v);
      if (Holds(machine, key, valueName, v.type, data)) {
        lines.push_back("there already\tvalue\t" + name + "\t" + ValueName(v));
        ++present;
        continue;
      }
      machine.SetValue(key, valueName, v.type, {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()});
      lines.push_back("restored\tvalue\t" + name + "\t" + ValueName(v));
      ++values;
    }
  }
  if (keys + values > 0 && RegFlushKey(HKEY_LOCAL_MACHINE) != ERROR_SUCCESS) return TRestoreEnd::kNotSaved;
  if (report)
    for (const std::string& line : lines) report(line);
  if (keys + values == 0) {
    WriteOutput("Everything " + GivenPath(file) + " holds is in the machine registry already: nothing was changed.\n");
    return TRestoreEnd::kRestored;
  }
  std::string done = "Restored ";
  done += Count(keys, "key") + " and " + Count(values, "value") + " from " + GivenPath(file) + ".";
  if (present > 0) {
    done += ' ';
    done += Count(present, "value") + (present == 1 ? " was" : " were") + " there already.";
  }
  WriteOutput(done + "\n");
  return TRestoreEnd::kRestored;
}
