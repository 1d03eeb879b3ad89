// DLLs planted beside the program, under the names of system DLLs it may
// load (version.dll, uxtheme.dll). Wine is told to prefer them to its own,
// as Windows prefers a DLL in the program's folder: one is taken before
// the search is limited, none after.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "platform/Startup.h"
#include "platform/Win32.h"

namespace {

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

std::wstring ModulePath(HMODULE module) {
  WCHAR path[MAX_PATH] = L"";
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(DllSearch, APlantedDllIsTakenUntilTheSearchIsLimitedToSystem32) {
  const std::wstring here = Folder(ModulePath(nullptr));
  WCHAR system[MAX_PATH] = L"";
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  for (const wchar_t* name : {L"\\version.dll", L"\\uxtheme.dll"}) {
    ASSERT_TRUE(Exists(here + name)) << "the planted DLLs lie beside the test";
    DeleteFileW((here + name + L".loaded").c_str());
  }

  // Without the limit, the planted one is taken: the test can see it.
  const HMODULE before = LoadLibraryW(L"version.dll");
  ASSERT_NE(before, nullptr);
  EXPECT_TRUE(SameFolder(Folder(ModulePath(before)), here));
  EXPECT_TRUE(Exists(here + L"\\version.dll.loaded"));

  LimitDllSearch();
  const HMODULE after = LoadLibraryW(L"uxtheme.dll");
  ASSERT_NE(after, nullptr);
  EXPECT_TRUE(SameFolder(Folder(ModulePath(after)), system));
  EXPECT_FALSE(Exists(here + L"\\uxtheme.dll.loaded")) << "the planted uxtheme.dll ran";
}

}  // namespace
