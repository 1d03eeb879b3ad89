// The registry functions as the accessor relies on them, checked for their
// exact results. The same suite runs on the stand-in and on Wine.
#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "support/Rights.h"
#include "support/Sandbox.h"

namespace {

// "表示ソフト": the first and third characters end in 0x5C, the byte of "\".
const std::string kTrailBackslash = "\x95\x5c\x8e\xa6\x83\x5c\x83t\x83g";
// Five kanji, ten bytes: "漢字五文字".
const std::string kFiveKanji = "\x8a\xbf\x8e\x9a\x8c\xdc\x95\xb6\x8e\x9a";

class RegistryFunctions : public Sandbox {
 protected:
  HKEY Open(const std::string& path, LONG expected = ERROR_SUCCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(sandbox_, path.c_str(), 0, KEY_ALL_ACCESS, &key), expected) << path;
    return key;
  }

  std::vector<std::string> Subkeys(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      const LONG rc = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      EXPECT_EQ(rc, ERROR_SUCCESS);
      names.emplace_back(name, length);
    }
    return names;
  }
};

TEST_F(RegistryFunctions, OpensExistingKeysOnlyAndNeverCreates) {
  Create("A\\B");
  HKEY key = Open("A\\B");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  Open("A\\missing", ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(Exists("A\\missing"));
  Open("\\A", ERROR_BAD_PATHNAME);
}

TEST_F(RegistryFunctions, EmptySubkeyOpensASecondHandleToTheSameKey) {
  SetDword("", "v", 7);
  HKEY again = Open("");
  ASSERT_NE(again, sandbox_);
  EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(sandbox_, "v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryFunctions, NamesCompareWithoutCaseAndKeepTheirCase) {
  Create("MixedCase");
  RegCloseKey(Open("mixedcase"));
  Create("\x82`");                // full-width "Ａ"
  RegCloseKey(Open("\x82\x81"));  // full-width "ａ"
  Create("\x83\x9f");             // Greek capital alpha
  RegCloseKey(Open("\x83\xbf"));  // Greek small alpha
  std::set<std::string> names;
  for (const auto& n : Subkeys(sandbox_)) names.insert(n);
  EXPECT_EQ(names, (std::set<std::string>{"MixedCase", "\x82`", "\x83\x9f"}));
  SetDword("", "Value", 1);
  EXPECT_EQ(RegQueryValueExA(sandbox_, "VALUE", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryFunctions, BackslashTrailBytesDoNotSplitAPath) {
  Create(kTrailBackslash + "\\" + kTrailBackslash);
  RegCloseKey(Open(kTrailBackslash + "\\" + kTrailBackslash));
  EXPECT_EQ(Subkeys(sandbox_), std::vector<std::string>{kTrailBackslash});
}

TEST_F(RegistryFunctions, SubkeysEnumerateSortedAndEndWithNoMoreItems) {
  for (const char* name : {"b", "C", "a", "_x", "B2"}) Create(name);
  // Windows, like the stand-in, compares upper-cased names, so "_" (0x5F)
  // sorts after "Z" (0x5A); Wine compares lower-cased ones.
  const std::vector<std::string> expected = RunningUnderWine() ? std::vector<std::string>{"_x", "a", "b", "B2", "C"}
                                                               : std::vector<std::string>{"a", "b", "B2", "C", "_x"};
  EXPECT_EQ(Subkeys(sandbox_), expected);
  char name[8];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(sandbox_, 5, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryFunctions, ValuesEnumerateInTheOrderTheyWereWritten) {
  for (const char* name : {"zeta", "alpha", "Mid"}) SetDword("", name, 1);
  std::vector<std::string> names;
  char name[16];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(sandbox_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  // Wine keeps values sorted by name; Windows, like the stand-in, in the
  // order they were written. The accessor takes whichever order it gets.
  const std::vector<std::string> expected = RunningUnderWine() ? std::vector<std::string>{"alpha", "Mid", "zeta"}
                                                               : std::vector<std::string>{"zeta", "alpha", "Mid"};
  EXPECT_EQ(names, expected);
}

TEST_F(RegistryFunctions, InfoCountsNameLengthsInCharactersAndDataInBytes) {
  Create(kFiveKanji);
  Create("abc");
  SetString("", kFiveKanji, "12345678");  // 9 bytes in CP932, 18 as stored
  SetDword("", "d", 1);
  DWORD subkeys = 0, subkeyMax = 0, values = 0, valueNameMax = 0, dataMax = 0;
  ASSERT_EQ(RegQueryInfoKeyA(sandbox_, nullptr, nullptr, nullptr, &subkeys, &subkeyMax, nullptr, &values, &valueNameMax,
                             &dataMax, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subkeys, 2u);
  EXPECT_EQ(subkeyMax, 5u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(valueNameMax, 5u);
  EXPECT_EQ(dataMax, 18u);
}

TEST_F(RegistryFunctions, ANameLongerThanTheBufferGivesMoreData) {
  Create(kFiveKanji);
  SetDword("", kFiveKanji, 1);
  char name[11];  // holds the ten bytes, not the NUL
  DWORD length = sizeof name - 1;
  EXPECT_EQ(RegEnumKeyExA(sandbox_, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  length = sizeof name - 1;
  EXPECT_EQ(RegEnumValueA(sandbox_, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  length = sizeof name;
  ASSERT_EQ(RegEnumKeyExA(sandbox_, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(length, 10u);
  EXPECT_EQ(std::string(name), kFiveKanji);
}

TEST_F(RegistryFunctions, QueryGivesTypeAndAnsiSizeAndKeepsEmbeddedNuls) {
  const std::vector<BYTE> text = {'a', 0, 'z', 'o', 'b', 0};
  SetRaw("", "s", REG_SZ, text);
  SetRaw("", "j", REG_SZ, {0x95, 0x5c, 0});
  SetRaw("", "b", REG_BINARY, {1, 2, 3});
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(sandbox_, "s", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 6u);
  std::vector<BYTE> data(16, 0xCC);
  size = static_cast<DWORD>(data.size());
  ASSERT_EQ(RegQueryValueExA(sandbox_, "s", nullptr, &type, data.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(std::vector<BYTE>(data.begin(), data.begin() + size), text);
  size = 0;
  ASSERT_EQ(RegQueryValueExA(sandbox_, "j", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 3u);
  size = 2;
  EXPECT_EQ(RegQueryValueExA(sandbox_, "b", nullptr, &type, data.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(RegQueryValueExA(sandbox_, "none", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFunctions, DeletesOnlyKeysWithoutSubkeys) {
  Create("P\\C");
  EXPECT_EQ(RegDeleteKeyA(sandbox_, "P"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(sandbox_, "P\\C"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(sandbox_, "P"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(sandbox_, "P"), ERROR_FILE_NOT_FOUND);
  SetDword("", "v", 1);
  EXPECT_EQ(RegDeleteValueA(sandbox_, "v"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(sandbox_, "v"), ERROR_FILE_NOT_FOUND);
}

// Rights refused by an access control list: a key that refuses one right
// of KEY_ALL_ACCESS still opens for reading, or for nothing at all, and
// whether it can be deleted depends on DELETE alone.
TEST_F(RegistryFunctions, RefusedRightsFailOnlyTheOpensThatAskForThem) {
  Create("Owned");
  Create("Unreadable");
  Create("Undeletable");
  const std::string below = Absolute("").substr(1) + "\\";
  HKEY key = nullptr;
  {
    DeniedRights owned(below + "Owned", WRITE_OWNER);
    DeniedRights unreadable(below + "Unreadable", KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    DeniedRights undeletable(below + "Undeletable", DELETE);
    for (const char* name : {"Owned", "Unreadable", "Undeletable"}) {
      EXPECT_EQ(RegOpenKeyExA(sandbox_, name, 0, KEY_ALL_ACCESS, &key), ERROR_ACCESS_DENIED) << name;
      ASSERT_EQ(RegOpenKeyExA(sandbox_, name, 0, 0, &key), ERROR_SUCCESS) << name << " opens asking for no rights";
      RegCloseKey(key);
    }
    ASSERT_EQ(RegOpenKeyExA(sandbox_, "Owned", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(sandbox_, "Unreadable", 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(sandbox_, "Missing", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(sandbox_, "Owned"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(sandbox_, "Unreadable"), ERROR_SUCCESS);
    // Windows opens the key with DELETE to delete it; Wine deletes it all
    // the same (measured: Wine grants an open that asks for DELETE alone).
    EXPECT_EQ(RegDeleteKeyA(sandbox_, "Undeletable"), RunningUnderWine() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED);
  }
  EXPECT_FALSE(Exists("Owned"));
  EXPECT_FALSE(Exists("Unreadable"));
}

TEST_F(RegistryFunctions, AHandleToADeletedKeyAndABadHandleAreRefused) {
  HKEY gone = Create("Gone");
  ASSERT_EQ(RegDeleteKeyA(sandbox_, "Gone"), ERROR_SUCCESS);
  DWORD count = 0;
  EXPECT_EQ(RegQueryInfoKeyA(gone, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(gone), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(gone), ERROR_INVALID_HANDLE);
}

// What a restore needs: a key made with the keys above it, and values set
// with their names, types and data as given, outside code page 932 too.
TEST_F(RegistryFunctions, TheWideFunctionsMakeKeysAndSetValuesAsGiven) {
  const auto wide = [](std::u16string_view text) { return std::basic_string<WCHAR>(text.begin(), text.end()); };
  // "Café" and an emoji, which no code page 932 character spells, name a
  // value; "表示" a key (the sandbox, deleted through the ANSI functions,
  // holds no key they cannot name).
  const std::basic_string<WCHAR> name = wide(u"Caf\u00e9 \U0001F600"), keyName = wide(u"\u8868\u793a");
  HKEY key = nullptr;
  DWORD made = 0;
  ASSERT_EQ(RegCreateKeyExW(sandbox_, (wide(u"Made\\") + keyName).c_str(), 0, nullptr, 0, KEY_QUERY_VALUE, nullptr,
                            &key, &made),
            ERROR_SUCCESS);
  EXPECT_EQ(made, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  const BYTE text[] = {'a', 0, 0, 0, 0xE9, 0};  // "a", a NUL, "é", and no final NUL
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ, text, sizeof text), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyExW(sandbox_, (wide(u"MADE\\") + keyName).c_str(), 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, &made),
            ERROR_SUCCESS);
  EXPECT_EQ(made, static_cast<DWORD>(REG_OPENED_EXISTING_KEY)) << "names compare without their case";
  ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_SZ, text, sizeof text), ERROR_SUCCESS);
  const BYTE odd[] = {1, 2, 3};
  ASSERT_EQ(RegSetValueExW(key, wide(u"").c_str(), 0, 0x12345678, odd, sizeof odd), ERROR_SUCCESS);
  std::vector<std::pair<std::basic_string<WCHAR>, std::vector<BYTE>>> values;
  for (DWORD i = 0;; ++i) {
    WCHAR valueName[16];
    BYTE data[16];
    DWORD length = 16, size = sizeof data, type = 0;
    if (RegEnumValueW(key, i, valueName, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    EXPECT_EQ(type, length == 0 ? 0x12345678u : static_cast<DWORD>(REG_SZ));
    values.emplace_back(std::basic_string<WCHAR>(valueName, length), std::vector<BYTE>(data, data + size));
  }
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (std::vector<std::pair<std::basic_string<WCHAR>, std::vector<BYTE>>>{
                        {wide(u""), {1, 2, 3}}, {name, {'a', 0, 0, 0, 0xE9, 0}}}));
  RegCloseKey(key);
  key = Open("Made");
  EXPECT_EQ(Subkeys(key), std::vector<std::string>{"\x95\x5c\x8e\xa6"});
  RegCloseKey(key);
  EXPECT_EQ(CompareStringOrdinal(wide(u"HKLM\\Ab").c_str(), -1, wide(u"hklm\\aB").c_str(), -1, TRUE), CSTR_EQUAL);
  EXPECT_EQ(CompareStringOrdinal(wide(u"a").c_str(), 1, wide(u"A").c_str(), 1, FALSE), CSTR_GREATER_THAN);
}

TEST_F(RegistryFunctions, ClassesRootIsTheMachineClassesKey) {
  SetDword("Shared", "v", 5);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, (std::string(kClassesPath) + "\\Shared").c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "v"), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_FALSE(HasValue("Shared", "v"));
}

}  // namespace
