#include "support/Sandbox.h"

#include <cstring>

namespace {

// Deletes a key with everything below it, using the bare functions.
void DeleteAll(HKEY base, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char name[1024];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteAll(key, name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(base, path.c_str());
}

std::string Below(const std::string& path) {
  return path.empty() ? Sandbox::kPath : std::string(Sandbox::kPath) + "\\" + path;
}

}  // namespace

void Sandbox::SetUp() {
  DeleteAll(HKEY_LOCAL_MACHINE, kPath);
  sandbox_ = Create("");
}

void Sandbox::TearDown() {
  RegCloseKey(sandbox_);
  DeleteAll(HKEY_LOCAL_MACHINE, kPath);
}

HKEY Sandbox::Create(const std::string& path) {
  HKEY key = nullptr;
  const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, Below(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
  EXPECT_EQ(rc, ERROR_SUCCESS) << "creating " << path;
  return key;
}

void Sandbox::SetRaw(const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data) {
  HKEY k = Create(key);
  EXPECT_EQ(RegSetValueExA(k, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS)
      << "setting " << key << " " << name;
  RegCloseKey(k);
}

void Sandbox::SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  SetRaw(key, name, type, data);
}

void Sandbox::SetDword(const std::string& key, const std::string& name, DWORD value) {
  std::vector<BYTE> data(4);
  std::memcpy(data.data(), &value, 4);
  SetRaw(key, name, REG_DWORD, data);
}

bool Sandbox::Exists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Below(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool Sandbox::HasValue(const std::string& key, const std::string& name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Below(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExA(k, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(k);
  return found;
}

std::string Sandbox::Absolute(const std::string& path) {
  std::string absolute(1, '\\');
  return absolute.append(Below(path));
}

bool RunningUnderWine() {
#ifdef _WIN32
  static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
#else
  return false;
#endif
}
