#include "support/Files.h"

#include <stdlib.h>

#include <filesystem>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "t_uninst_test.XXXXXX").string();
  path_ = mkdtemp(pattern.data());
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}
