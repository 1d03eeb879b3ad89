// Both passes over product traces placed in the machine's real lists, next
// to entries of other programs that must stay.
#include "cleaner/Plan.h"
#include "cleaner/ProductKeys.h"
#include "cleaner/Tinst0.h"
#include "support/Rights.h"
#include "support/Sandbox.h"

namespace {

const std::string kCv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kComponents = kCv + "Installer\\Components\\";
const std::string kSystemComponents = kCv + "Installer\\UserData\\S-1-5-18\\Components\\";
const std::string kSystemProducts = kCv + "Installer\\UserData\\S-1-5-18\\Products\\";
const std::string kProducts = kCv + "Installer\\Products\\";
const std::string kClassesProducts = "SOFTWARE\\Classes\\Installer\\Products\\";
const std::string kUninstall = kCv + "Uninstall\\";
const std::string kShared = kCv + "SharedDLLs";

const std::string kOurComponent = "F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF";
const std::string kOtherComponent = "E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEF";
const std::string kOtherCode = "D0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF";
// "表示ソフト", whose bytes hold two 0x5C.
const std::string kJapaneseEntry = "\x95\x5c\x8e\xa6\x83\x5c\x83t\x83g t_uninst";

// Keys and values of HKEY_LOCAL_MACHINE made for one test and removed after.
class Passes : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& path : made_) DeleteAll(path);
    HKEY shared = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShared.c_str(), 0, KEY_ALL_ACCESS, &shared) == ERROR_SUCCESS) {
      for (const std::string& name : sharedValues_) RegDeleteValueA(shared, name.c_str());
      RegCloseKey(shared);
    }
  }

  HKEY Make(const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    made_.push_back(path);
    return key;
  }

  void Set(const std::string& path, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = Make(path);
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetText(const std::string& path, const std::string& name, const std::string& text) {
    Set(path, name, REG_SZ, text + '\0');
  }
  void SetDword(const std::string& path, const std::string& name) { Set(path, name, REG_DWORD, std::string(4, '\1')); }
  void SetShared(const std::string& name) {
    SetDword(kShared, name);
    made_.pop_back();  // the list itself is the machine's
    sharedValues_.push_back(name);
  }

  static bool Exists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  static bool HasValue(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
  }

  // A run's cleaning, as the program does it: both passes plan, then what
  // they planned is removed. True when no pass was cut short.
  static bool Clean() {
    const TRemovalPlan plan = PlanCleanup({0});
    std::vector<LONG> answers;
    RemovePlanned(plan, answers);
    return !plan.CutShort();
  }

 private:
  static void DeleteAll(const std::string& path) {
    TRegistry reg;
    reg.SelectRoot(HKEY_LOCAL_MACHINE);
    reg.DeleteTree("\\" + path);
  }

  std::vector<std::string> made_;
  std::vector<std::string> sharedValues_;
};

TEST_F(Passes, InstallerPassRemovesComponentsEntriesAndProductCodesOnly) {
  SetText(kComponents + kOurComponent, "A1", "C:\\Program Files\\ZobrikLine\\zl.exe");
  Make(kComponents + kOurComponent + "\\Sub\\Deeper");
  SetText(kComponents.substr(0, kComponents.size() - 1), kOurComponent, "C:\\Program Files\\ZobrikLine\\");
  SetText(kComponents + kOtherComponent, "A1", "C:\\Program Files\\Other\\o.exe");
  SetText(kSystemComponents + kOurComponent, "A1", "C:\\PROGRAM FILES\\ZOBRIKLINE\\ZL.EXE");
  SetText(kSystemComponents + kOtherComponent, "A1", "C:\\Other\\zobri.k");
  SetDword(kUninstall + "t_uninst ours", "NoModify");
  SetText(kUninstall + "t_uninst ours", "DisplayName", "ZobrikLine");
  SetText(kUninstall + kJapaneseEntry, "DisplayName", "ZobrikLine");
  SetText(kUninstall + "t_uninst ZobrikLine Classic", "DisplayName", "Classic");
  for (const std::string& list : {kSystemProducts, kProducts, kClassesProducts}) {
    for (std::string_view code : kProductCodes) Make(list + std::string(code) + "\\SourceList");
    Make(list + kOtherCode);
  }

  EXPECT_TRUE(Clean());

  EXPECT_FALSE(Exists(kComponents + kOurComponent));
  EXPECT_FALSE(HasValue(kComponents.substr(0, kComponents.size() - 1), kOurComponent));
  EXPECT_TRUE(Exists(kComponents + kOtherComponent));
  EXPECT_FALSE(Exists(kSystemComponents + kOurComponent));
  EXPECT_TRUE(Exists(kSystemComponents + kOtherComponent));
  EXPECT_FALSE(Exists(kUninstall + "t_uninst ours"));
  EXPECT_FALSE(Exists(kUninstall + kJapaneseEntry));
  EXPECT_TRUE(Exists(kUninstall + "t_uninst ZobrikLine Classic"));
  for (const std::string& list : {kSystemProducts, kProducts, kClassesProducts}) {
    for (std::string_view code : kProductCodes) EXPECT_FALSE(Exists(list + std::string(code))) << list << code;
    EXPECT_TRUE(Exists(list + kOtherCode)) << list;
  }
}

TEST_F(Passes, SharedDllPassJudgesNamesAlone) {
  SetShared("C:\\Program Files\\ZobrikLine\\zlcore.dll");
  SetShared("C:\\PROGRAM FILES\\COMMON FILES\\ZOBRIKLINE\\zl.dll");
  SetShared("C:\\t_uninst\\other.dll");
  SetText(kShared + "\\t_uninst ZobrikCache\\Inner", "a", "x");
  SetText(kShared + "\\t_uninst Other", "path", "C:\\Program Files\\ZobrikLine\\x.dll");

  EXPECT_TRUE(Clean());

  EXPECT_FALSE(HasValue(kShared, "C:\\Program Files\\ZobrikLine\\zlcore.dll"));
  EXPECT_FALSE(HasValue(kShared, "C:\\PROGRAM FILES\\COMMON FILES\\ZOBRIKLINE\\zl.dll"));
  EXPECT_TRUE(HasValue(kShared, "C:\\t_uninst\\other.dll"));
  EXPECT_FALSE(Exists(kShared + "\\t_uninst ZobrikCache"));
  EXPECT_TRUE(Exists(kShared + "\\t_uninst Other"));
}

TEST_F(Passes, ASharedDllNameFromTheRootNeverDeletesAKeyOutsideTheList) {
  // A value named "\SOFTWARE\t_uninst ZobrikLine" would, taken as a key
  // path, name a key from the machine's root.
  Make("SOFTWARE\\t_uninst ZobrikLine");
  SetShared("\\SOFTWARE\\t_uninst ZobrikLine");
  EXPECT_TRUE(Clean());
  EXPECT_FALSE(HasValue(kShared, "\\SOFTWARE\\t_uninst ZobrikLine"));
  EXPECT_TRUE(Exists("SOFTWARE\\t_uninst ZobrikLine"));
}

}  // namespace

// The plan is what the run removes: a key reached under several names is
// planned once, below a key planned already not at all, and nothing is
// removed until the plan is carried out.
TEST_F(Passes, APlanNamesEachKeyOnceAndRemovesNothingItself) {
  SetText(kShared + "\\t_uninst ZobrikCache\\Inner", "a", "x");
  SetShared("t_uninst ZOBRIKCACHE");
  SetShared("t_uninst zobrikcache\\\\inner\\");

  TRemovalPlan plan;
  Tinst0 cleaner;
  EXPECT_TRUE(cleaner.CleanSharedDlls(plan));
  std::vector<std::string> keys, values;
  for (const TRemoval& item : plan.Items()) {
    EXPECT_EQ(item.Root, HKEY_LOCAL_MACHINE);
    if (!item.IsKey) {
      values.push_back(item.ValueName);
      continue;
    }
    keys.push_back(item.KeyPath);
    EXPECT_EQ(item.SubkeysBelow, 1u);
    EXPECT_EQ(item.ValuesBelow, 1u);
  }
  EXPECT_EQ(keys, std::vector<std::string>{kShared + "\\t_uninst ZobrikCache"});
  EXPECT_EQ(values, (std::vector<std::string>{"t_uninst ZOBRIKCACHE", "t_uninst zobrikcache\\\\inner\\"}));
  EXPECT_TRUE(Exists(kShared + "\\t_uninst ZobrikCache\\Inner"));
  EXPECT_TRUE(HasValue(kShared, "t_uninst ZOBRIKCACHE"));

  std::vector<LONG> answers;
  RemovePlanned(plan, answers);
  EXPECT_FALSE(Exists(kShared + "\\t_uninst ZobrikCache"));
  EXPECT_FALSE(HasValue(kShared, "t_uninst ZOBRIKCACHE"));
  EXPECT_FALSE(HasValue(kShared, "t_uninst zobrikcache\\\\inner\\"));
}

// A planned key is tried whatever rights it refuses; what stays is found
// afterwards with the registry's reason. The product test keeps its rule:
// a key it cannot open with full rights does not mention the product.
TEST_F(Passes, KeysThatRefuseFullRightsAreTriedAndWhatStaysIsFound) {
  const std::string leaf = kProducts + std::string(kProductCodes[0]);
  const std::string parent = kProducts + std::string(kProductCodes[1]);
  const std::string unreadable = kProducts + std::string(kProductCodes[2]);
  const std::string entry = kUninstall + "t_uninst refusing";
  Make(leaf);
  Make(parent + "\\SourceList");
  Make(unreadable);
  SetText(entry, "DisplayName", "ZobrikLine");
  TRemovalPlan plan;
  {
    DeniedRights owned(leaf, WRITE_OWNER);
    DeniedRights undeletable(parent, DELETE);
    DeniedRights cannotRead(unreadable, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    DeniedRights entryOwned(entry, WRITE_OWNER);
    Tinst0 cleaner;
    EXPECT_TRUE(cleaner.CleanInstallerEntries(plan));
    std::vector<std::string> keys;
    for (const TRemoval& item : plan.Items()) keys.push_back(item.KeyPath);
    EXPECT_EQ(keys, (std::vector<std::string>{leaf, parent, unreadable}));
    ASSERT_EQ(plan.Items().size(), 3u);
    EXPECT_EQ(plan.Items()[0].Reading, TTreeReading::kWhole);
    EXPECT_EQ(plan.Items()[1].SubkeysBelow, 1u) << "read with the rights it grants";
    EXPECT_EQ(plan.Items()[2].Reading, TTreeReading::kNone);

    // As a run with a backup removes: not what the backup cannot hold.
    std::vector<LONG> answers;
    RemovePlanned(plan, answers, true);
    EXPECT_EQ(answers, (std::vector<LONG>{ERROR_SUCCESS, ERROR_ACCESS_DENIED, kNotInBackup}));
    std::vector<TLeftover> left = FindLeftovers(plan, answers);
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].Item.KeyPath, parent);
    EXPECT_EQ(left[0].Reason, ERROR_ACCESS_DENIED);
    EXPECT_EQ(left[1].Item.KeyPath, unreadable);
    EXPECT_EQ(left[1].Reason, kNotInBackup);

    // Without a backup it goes.
    answers.clear();
    RemovePlanned(plan, answers);
    left = FindLeftovers(plan, answers);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].Item.KeyPath, parent);
  }
  EXPECT_FALSE(Exists(leaf));
  EXPECT_FALSE(Exists(unreadable));
  EXPECT_TRUE(Exists(parent + "\\SourceList"));
  EXPECT_TRUE(Exists(entry));
}

// On 64-bit Windows the cleaner plans both views; a value of a key the
// two views share is one value, planned once.
TEST_F(Passes, AValueIsPlannedOnceWhateverViewsReachIt) {
  SetShared("C:\\t_uninst\\ZobrikLine\\twice.dll");
  TRemovalPlan plan;
  const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY, 0};
  for (REGSAM view : views) {
    Tinst0 cleaner(view);
    EXPECT_TRUE(cleaner.CleanSharedDlls(plan));
  }
  size_t planned = 0;
  for (const TRemoval& item : plan.Items()) planned += item.ValueName == "C:\\t_uninst\\ZobrikLine\\twice.dll";
  EXPECT_EQ(planned, 1u);
}
