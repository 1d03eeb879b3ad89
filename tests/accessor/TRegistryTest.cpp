// The accessor's path rules, snapshot listings, typed reads and subtree
// deletion, on whichever registry the build runs on.
#include "registry/EnumerateName.h"
#include "registry/TRegistry.h"
#include "support/Rights.h"
#include "support/Sandbox.h"

namespace {

class Accessor : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    reg_.SelectRoot(HKEY_LOCAL_MACHINE);
  }
  void TearDown() override {
    reg_.CloseOpened();
    Sandbox::TearDown();
  }

  std::vector<std::string> Names(const TStringList& list) { return {list.begin(), list.end()}; }

  TRegistry reg_;
};

TEST_F(Accessor, StartsOnTheCurrentUserWithFullRights) {
  TRegistry fresh;
  EXPECT_EQ(fresh.Root(), HKEY_CURRENT_USER);
  EXPECT_EQ(fresh.Opened(), nullptr);
  EXPECT_EQ(fresh.Rights(), KEY_ALL_ACCESS);
}

TEST_F(Accessor, ResolvesAbsolutePathsAgainstTheRootAndRelativeOnesAgainstTheOpenedKey) {
  Create("A\\B\\C");
  Create("X");
  ASSERT_TRUE(reg_.OpenExisting(Absolute("X")));
  ASSERT_TRUE(reg_.OpenExisting(Absolute("A\\B")));
  EXPECT_EQ(reg_.OpenedPath(), Absolute("A\\B").substr(1));
  ASSERT_TRUE(reg_.OpenExisting("C"));
  EXPECT_EQ(reg_.OpenedPath(), Absolute("A\\B\\C").substr(1));
  EXPECT_TRUE(IsRelativePath(""));
  EXPECT_FALSE(IsRelativePath("\\A"));
}

TEST_F(Accessor, AFailedOpenKeepsTheKeyOpenedBefore) {
  Create("A");
  ASSERT_TRUE(reg_.OpenExisting(Absolute("A")));
  const HKEY before = reg_.Opened();
  EXPECT_FALSE(reg_.OpenExisting("missing"));
  EXPECT_FALSE(reg_.OpenExisting(Absolute("missing")));
  EXPECT_EQ(reg_.Opened(), before);
  EXPECT_EQ(reg_.OpenedPath(), Absolute("A").substr(1));
}

TEST_F(Accessor, SelectingTheSameRootKeepsTheKeyOpenAndAnotherClosesIt) {
  Create("A");
  ASSERT_TRUE(reg_.OpenExisting(Absolute("A")));
  reg_.SelectRoot(HKEY_LOCAL_MACHINE);
  EXPECT_NE(reg_.Opened(), nullptr);
  reg_.SelectRoot(HKEY_CLASSES_ROOT);
  EXPECT_EQ(reg_.Opened(), nullptr);
  EXPECT_EQ(reg_.OpenedPath(), "");
  EXPECT_TRUE(reg_.OpenExisting(std::string("\\") + kClassesPath + "\\A"));
}

TEST_F(Accessor, ListingsAreEmptyWithNoKeyOpenAndTakenBeforeDeletions) {
  TStringList list;
  list.Add("stale");
  reg_.ListSubkeys(list);
  EXPECT_EQ(list.Count(), 0u);
  reg_.ListValues(list);
  EXPECT_EQ(list.Count(), 0u);

  // A listing taken before deletions names every key they remove: walked
  // by index as it went, the registry's enumeration would skip every other.
  for (const char* name : {"k1", "k2", "k3", "k4"}) Create(name);
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  reg_.ListSubkeys(list);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"k1", "k2", "k3", "k4"}));
  for (const std::string_view name : list) EXPECT_TRUE(reg_.DeleteTree(std::string(name))) << name;
  reg_.ListSubkeys(list);
  EXPECT_EQ(list.Count(), 0u) << "nothing is left to list";

  SetString("", "", "default");
  SetDword("", "n", 1);
  reg_.ListValues(list);
  std::vector<std::string> values = Names(list);
  std::sort(values.begin(), values.end());
  EXPECT_EQ(values, (std::vector<std::string>{"", "n"}));
}

TEST_F(Accessor, ReadTextGivesStringsAndRaisesOnOtherKinds) {
  SetString("", "s", "C:\\ZobrikLine");
  SetString("", "e", "%ProgramFiles%", REG_EXPAND_SZ);
  SetRaw("", "nul", REG_SZ, {'a', 'b', 0, 'z', 'o', 'b', 'r', 'i', 'k', 0});
  SetDword("", "Count", 3);
  SetRaw("", "bin", REG_BINARY, {1, 2});
  SetRaw("", "empty", REG_BINARY, {});
  SetRaw("", "multi", REG_MULTI_SZ, {'a', 0, 0});
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));

  EXPECT_EQ(reg_.ReadText("s"), "C:\\ZobrikLine");
  EXPECT_EQ(reg_.ReadText("e"), "%ProgramFiles%");
  EXPECT_EQ(reg_.ReadText("nul"), "ab");
  EXPECT_EQ(reg_.ReadText("empty"), "");
  EXPECT_EQ(reg_.ReadText("missing"), "");
  for (const char* name : {"Count", "bin", "multi"}) {
    try {
      reg_.ReadText(name);
      ADD_FAILURE() << name << " read as text";
    } catch (const ERegistryException& e) {
      // "'%s' のデータ型が不正です"
      EXPECT_EQ(e.what(), "'" + std::string(name) +
                              "' \x82\xcc\x83"
                              "f\x81[\x83^\x8c^\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7");
    }
  }
  // TryReadText reads what ReadText reads, and gives false, with no text,
  // where it raises.
  std::string text;
  for (const char* name : {"s", "e", "nul", "empty", "missing"}) {
    EXPECT_TRUE(reg_.TryReadText(name, text)) << name;
    EXPECT_EQ(text, reg_.ReadText(name)) << name;
  }
  for (const char* name : {"Count", "bin", "multi"}) {
    text = "stale";
    EXPECT_FALSE(reg_.TryReadText(name, text)) << name;
    EXPECT_EQ(text, "") << name;
  }
  TValueStats stats;
  ASSERT_TRUE(reg_.QueryValue("Count", stats));
  EXPECT_EQ(stats.DataKind, vkInteger);
  EXPECT_EQ(stats.Size, 4u);
  EXPECT_EQ(reg_.ValueSize("missing"), -1);
}

TEST_F(Accessor, FetchRaisesWithTheValueName) {
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  char buffer[4];
  TValueKind kind = vkUnknown;
  try {
    reg_.FetchValue("gone", buffer, sizeof buffer, kind);
    ADD_FAILURE() << "fetched a missing value";
  } catch (const ERegistryException& e) {
    // "'%s' の取得に失敗しました"
    EXPECT_EQ(e.what(),
              std::string("'gone' \x82\xcc\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82\xbd"));
  }
}

TEST_F(Accessor, DeleteTreeRemovesEveryLevelAndKeepsTheOpenedKey) {
  Create("T\\a\\b\\c");
  Create("T\\a\\b2");
  Create("T\\z");
  SetDword("T\\a\\b", "v", 1);
  Create("Other");
  ASSERT_TRUE(reg_.OpenExisting(Absolute("Other")));
  const HKEY opened = reg_.Opened();
  EXPECT_TRUE(reg_.DeleteTree(Absolute("T")));
  EXPECT_FALSE(Exists("T"));
  EXPECT_EQ(reg_.Opened(), opened);
  EXPECT_FALSE(reg_.DeleteTree(Absolute("T")));
  EXPECT_EQ(reg_.Opened(), opened);
  EXPECT_EQ(reg_.OpenedPath(), Absolute("Other").substr(1));
  EXPECT_TRUE(Exists("Other"));
}

// The registry counts the name maxima in characters; on a double-byte
// system (code page 932 here) a name takes up to two bytes a character.
TEST_F(Accessor, NameMaximaAreDoubledOnADoubleByteSystem) {
  const std::string fiveKanji = "\x8a\xbf\x8e\x9a\x8c\xdc\x95\xb6\x8e\x9a";  // "漢字五文字"
  Create(fiveKanji);
  SetDword("", fiveKanji + "x", 1);
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  TKeyStats stats;
  ASSERT_TRUE(reg_.QueryStats(stats));
  EXPECT_EQ(stats.SubkeyNameMax, 10u);
  EXPECT_EQ(stats.ValueNameMax, 12u);
}

TEST_F(Accessor, ANameLongerThanTheBufferIsReadWholeNotSkipped) {
  const std::string longName(200, 'n');
  Create(longName);
  SetDword("", longName, 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, Absolute("").substr(1).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  for (NameList list : {NameList::kSubkeys, NameList::kValues}) {
    std::vector<char> buffer(8);  // as if the reported maxima had been too small
    std::string name;
    EXPECT_TRUE(EnumerateName(key, list, 0, buffer, name));
    EXPECT_EQ(name, longName);
    EXPECT_FALSE(EnumerateName(key, list, 1, buffer, name)) << "past the end";
  }
  RegCloseKey(key);
}

TEST_F(Accessor, RemoveValueNeedsAnOpenedKey) {
  SetDword("", "v", 1);
  EXPECT_FALSE(reg_.RemoveValue("v"));
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  EXPECT_TRUE(reg_.RemoveValue("v"));
  EXPECT_FALSE(reg_.RemoveValue("v"));
}

// A plan describes a key with the rights it can get: a key that refuses
// full rights is read whole, one with an unreadable key below it in part,
// one that refuses reading is still found, and only a missing key is not.
TEST_F(Accessor, DescribeTreeReadsWhatItCanAndFindsWhatItCannotRead) {
  Create("T\\Sub\\Deep");
  SetDword("T", "v", 1);
  SetDword("T\\Sub", "w", 1);
  const std::string below = Absolute("").substr(1) + "\\";
  DeniedRights full(below + "T", WRITE_OWNER);
  DeniedRights sub(below + "T\\Sub", KEY_ENUMERATE_SUB_KEYS);
  std::basic_string<WCHAR> identity, seen;
  DWORD subkeys = 0, values = 0;
  EXPECT_EQ(reg_.DescribeTree(Absolute("T"), identity, subkeys, values), TTreeReading::kPart);
  EXPECT_EQ(subkeys, 1u) << "Sub counts, what lies below it cannot be known";
  EXPECT_EQ(values, 1u);
  EXPECT_FALSE(identity.empty());

  Create("U");
  DeniedRights unreadable(below + "U", KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
  subkeys = values = 0;
  EXPECT_EQ(reg_.DescribeTree(Absolute("U"), identity, subkeys, values), TTreeReading::kNone);
  EXPECT_EQ(subkeys + values, 0u);
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  EXPECT_EQ(reg_.DescribeTree("U", seen, subkeys, values), TTreeReading::kNone);
  EXPECT_EQ(seen, identity) << "an unreadable key still has its identity";
  EXPECT_EQ(reg_.DescribeTree("Missing", seen, subkeys, values), TTreeReading::kMissing);
  EXPECT_EQ(reg_.DescribeTree("T\\Sub\\Deep", seen, subkeys, values), TTreeReading::kWhole);

  EXPECT_TRUE(reg_.KeyExists("U")) << "a refusal means the key is there";
  EXPECT_FALSE(reg_.KeyExists("Missing"));
  EXPECT_TRUE(reg_.ValueExists("T", "v"));
  EXPECT_FALSE(reg_.ValueExists("T", "none"));
  EXPECT_FALSE(reg_.ValueExists("Missing", "v"));
}

// The answer to the last removal, for the report of what stayed.
TEST_F(Accessor, LastErrorIsTheRegistrysAnswerToTheLastRemoval) {
  Create("P\\C");
  const std::string below = Absolute("").substr(1) + "\\";
  DeniedRights full(below + "P", WRITE_OWNER);
  ASSERT_TRUE(reg_.OpenExisting(Absolute("")));
  EXPECT_FALSE(reg_.DeleteTree("P")) << "refusing full rights, P keeps the subkey the walk cannot see";
  EXPECT_EQ(reg_.LastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(reg_.DeleteTree("Missing"));
  EXPECT_EQ(reg_.LastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(reg_.DeleteTree("P\\C"));
  EXPECT_EQ(reg_.LastError(), ERROR_SUCCESS);
  EXPECT_TRUE(reg_.DeleteTree("P")) << "a leaf goes whatever the rights the walk needs";
  EXPECT_FALSE(reg_.RemoveValue("none"));
  EXPECT_EQ(reg_.LastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
