#include "support/Files.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
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

std::string CopyOfSample(const TempDir& dir) {
  std::string path = dir.Path("machine.reg");
  WriteFile(path, ReadFile(SAMPLE_MACHINE));
  return path;
}

ProgramResult RunProgram(const TempDir& dir, const std::string& registry, const std::string& arguments,
                         const std::string& answers) {
  const std::string input = dir.Path("answers"), output = dir.Path("output"), errors = dir.Path("errors");
  WriteFile(input, answers);
  const std::string env = registry.empty() ? "env -u T_UNINST_REGISTRY" : "T_UNINST_REGISTRY='" + registry + "'";
  const std::string command = env + " LANG=C.UTF-8 '" + T_UNINST_BINARY + "' " + arguments + " <'" + input + "' >'" +
                              output + "' 2>'" + errors + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(output), ReadFile(errors)};
}

std::string LargeMachine(int components) {
  std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components]\r\n\r\n";
  char key[160];
  for (int i = 0; i < components; ++i) {
    std::snprintf(
        key, sizeof key,
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Components\\%032X]\r\n", i);
    text += key;
    text += i % 100 == 0 ? "\"A\"=\"C:\\\\Program Files\\\\ZobrikLine\\\\zl.dll\"\r\n\r\n"
                         : "\"A\"=\"C:\\\\Program Files\\\\Other\\\\other.dll\"\r\n\r\n";
  }
  return Utf16File(text);
}
