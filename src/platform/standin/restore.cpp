// Undo on the stand-in: a backup's keys and values merged into the machine
// registry file.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "../machine.h"
#include "reg_file.h"
#include "standin.h"

namespace {

constexpr int kRefusedExitCode = 2;
constexpr int kNotSavedExitCode = 3;

int Refuse(const std::string& why) {
  std::fprintf(stderr, "t_uninst: %s; nothing was restored\n", why.c_str());
  return kRefusedExitCode;
}

// The key in `machine` at the place `key` has in `backup`, made when missing.
standin::Key& Counterpart(standin::KeyTree& machine, const standin::KeyTree& backup, const standin::Key& key,
                          std::uint8_t root, size_t& created) {
  if (&key == backup.Root(root) || key.parent == nullptr) return *machine.Root(root);
  standin::Key& parent = Counterpart(machine, backup, *key.parent, root, created);
  bool made = false;
  standin::Key& counterpart = *machine.Child(parent, key.name, &made);
  if (made) {
    machine.EnsureSection(counterpart);
    ++created;
  }
  return counterpart;
}

}  // namespace

int RestoreBackup(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return Refuse("the backup '" + file + "' cannot be read");
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::unique_ptr<standin::KeyTree> backup;
  try {
    backup = standin::ReadRegFile(bytes.str());
  } catch (const standin::RegFileError& e) {
    return Refuse(file + ":" + std::to_string(e.line()) + ": " + e.what());
  }
  if (backup->hadRemovals)
    return Refuse("the file '" + file + "' removes keys or values ([-key] or \"name\"=-), which no backup does");
  standin::KeyTree& machine = standin::Machine();
  size_t keys = 0, values = 0;
  for (size_t i = 0; i < backup->sections.size(); ++i) {
    const standin::Section& section = backup->sections[i];
    if (section.key->deleted) continue;
    standin::Key& key = Counterpart(machine, *backup, *section.key, section.root, keys);
    for (const standin::Value& v : section.key->values) {
      if (v.removed || v.section != static_cast<std::int32_t>(i)) continue;
      machine.SetValue(key, v.name, v.type, v.data);
      ++values;
    }
  }
  if (RegFlushKey(HKEY_LOCAL_MACHINE) != ERROR_SUCCESS) return kNotSavedExitCode;
  std::printf("Restored %zu keys and %zu values from %s.\n", keys, values, file.c_str());
  return 0;
}
