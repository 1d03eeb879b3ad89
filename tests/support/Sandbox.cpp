#include "support/Sandbox.h"

#include <cstring>

#include "registry/TKeyHandle.h"

namespace {

// Deletes a key with everything below it, using the bare functions.
void DeleteAll(HKEY base, const std::string& path) {
  {  // the key is closed before it is deleted
    TKeyHandle key;
    if (key.Open(base, path.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
    char name[1024];
    for (;;) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      DeleteAll(key.Get(), name);
    }
  }
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
  const TKeyHandle k(Create(key));
  EXPECT_EQ(RegSetValueExA(k.Get(), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS)
      << "setting " << key << " " << name;
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
  TKeyHandle key;
  return key.Open(HKEY_LOCAL_MACHINE, Below(path).c_str(), KEY_READ) == ERROR_SUCCESS;
}

bool Sandbox::HasValue(const std::string& key, const std::string& name) {
  TKeyHandle k;
  if (k.Open(HKEY_LOCAL_MACHINE, Below(key).c_str(), KEY_READ) != ERROR_SUCCESS) return false;
  return RegQueryValueExA(k.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string Sandbox::Absolute(const std::string& path) {
  std::string absolute(1, '\\');
  return absolute.append(Below(path));
}
