#include "backup/BackupName.h"

#include <string_view>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MachineRegistry.h"
#include "platform/RunPlace.h"

std::string BackupFileFor(const std::string& path, size_t viewIndex) {
  if (viewIndex == 0) return path;
  std::string stem = path;
  if (stem.size() > 4 && (stem.substr(stem.size() - 4) == ".reg" || stem.substr(stem.size() - 4) == ".REG"))
    stem.resize(stem.size() - 4);
  return stem + "-32bit.reg";
}

std::string BackupFileIn(const std::string& named) {
  if (named.back() != '/' && named.back() != '\\' && !IsFolder(named)) return named;
  std::string computer = RunPlace().Computer;
  // UTF-8 on Windows: only single-byte characters a file name cannot hold are replaced.
  for (char& c : computer)
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:*?\"<>| ").find(c) != std::string_view::npos)
      c = '_';
  const std::string stem = PathInFolder(named, "t_uninst-" + computer + "-" + UtcStamp());
  std::string file = stem + ".reg";
  for (int again = 2; again < 100; ++again) {
    bool free = true;
    for (size_t view = 0; view < RegistryViews().size(); ++view) free = free && !NameTaken(BackupFileFor(file, view));
    if (free) break;
    file = stem + "-" + std::to_string(again) + ".reg";
  }
  return file;
}

bool CanWriteBackup(const std::string& named, const std::string& file, TMessage& why) {
  if ((named.back() == '/' || named.back() == '\\') && !MakeFoldersFor(named, why)) return false;
  for (size_t view = 0; view < RegistryViews().size(); ++view)
    if (!CanWriteNewFile(BackupFileFor(file, view), why)) return false;
  return true;
}
