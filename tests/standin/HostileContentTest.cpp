// Files that parse but push at the limits: long names, deep keys, many
// values, large data, odd characters. The cleaner removes what it should
// and leaves every other byte of the file as it was.
#include <gtest/gtest.h>

#include "cleaner/Plan.h"
#include "platform/standin/machinefile/KeyTreeFile.h"
#include "platform/standin/win32/Standin.h"

namespace standin {
namespace {

const std::u16string kHead = u"Windows Registry Editor Version 5.00\r\n\r\n";
const std::u16string kUninstall = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::u16string kShared = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string Section(const std::u16string& path, const std::u16string& values = u"") {
  return u"[" + path + u"]\r\n" + values + u"\r\n";
}

class HostileContent : public ::testing::Test {
 protected:
  // Cleans `kept + removed` and expects exactly `kept` back.
  void ExpectCleanedTo(const std::u16string& kept, const std::u16string& removed) {
    ReplaceMachine(ReadKeyTree(Utf16Bytes(kHead + kept + removed)));
    Clean();
    // Compared whole, not printed: the files run to hundreds of megabytes.
    const std::string saved = WriteKeyTree(Machine());
    const std::string expected = Utf16Bytes(kHead + kept);
    EXPECT_TRUE(saved == expected) << "the cleaned file differs from the expected one; sizes " << saved.size()
                                   << " and " << expected.size();
  }
  // As a run cleans: the plan of the passes and the look for names they
  // cannot spell, then the removals.
  static void Clean() {
    const TRemovalPlan plan = PlanCleanup({0});
    EXPECT_FALSE(plan.CutShort());
    std::vector<LONG> answers;
    RemovePlanned(plan, answers);
  }
  void TearDown() override { ReplaceMachine(std::make_unique<KeyTree>()); }
};

TEST_F(HostileContent, LongNamesAndDeepKeys) {
  const std::u16string name255(255, u'k');
  const std::u16string value16383(16383, u'v');
  std::u16string deep = kUninstall + u"\\ZobrikLine";
  std::u16string removed = Section(deep, u"\"" + value16383 + u"\"=\"ZobrikLine\"\r\n");
  // Down to the deepest level Windows keeps, 512 below the root
  // (ZobrikLine is the sixth).
  for (int level = 6; level < 512; ++level) {
    deep += u'\\';
    deep.append(name255, 0, 1 + level % 200);
    removed += Section(deep);
  }
  const std::u16string kept =
      Section(kUninstall) + Section(kUninstall + u"\\" + name255, u"\"" + value16383 + u"\"=\"other\"\r\n");
  ExpectCleanedTo(kept, removed);
}

TEST_F(HostileContent, AKeyWithAMillionValuesAndAHundredMegabyteValue) {
  std::u16string values;
  for (int i = 0; i < 1000000; ++i) {
    std::u16string number;
    for (int n = i; n > 0 || number.empty(); n /= 10)
      number.insert(number.begin(), static_cast<char16_t>(u'0' + n % 10));
    values += u"\"C:\\\\Other\\\\f" + number + u".dll\"=dword:00000001\r\n";
  }
  std::u16string big = u"\"Blob\"=hex:";
  // A hundred megabytes of data, on regedit's wrapped lines.
  const std::u16string line = u"00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\\\r\n  ";
  for (int i = 0; i < 100 * 1024 * 1024 / 25; ++i) big += line;
  big += u"00\r\n";
  const std::u16string kept = Section(kShared, values) + Section(kUninstall);
  const std::u16string removed = Section(kUninstall + u"\\Big", u"\"DisplayName\"=\"ZobrikLine\"\r\n" + big);
  ExpectCleanedTo(kept, removed);
}

TEST_F(HostileContent, OddCharactersInNamesAndData) {
  // An unpaired surrogate, a character code page 932 lacks (it reaches the
  // cleaner as "?"), a NUL escaped in a name, an empty value name.
  const std::u16string odd = u"odd\xD800 \u20AC \\0 end";
  const std::u16string kept = Section(kUninstall) +
                              Section(kUninstall + u"\\" + odd, u"\"" + odd + u"\"=\"" + odd + u"\"\r\n\"\"=\"\"\r\n") +
                              Section(kShared, u"\"C:\\\\\u20AC\\\\x.dll\"=dword:00000001\r\n");
  const std::u16string removed = Section(kUninstall + u"\\\u8868\u793a ZobrikLine", u"@=\"\u20AC zobrik \xD800\"\r\n") +
                                 Section(kShared + u"\\ZobrikLine", u"\"\u20AC\xDC00\"=\"\"\r\n");
  ExpectCleanedTo(kept, removed);
}

TEST_F(HostileContent, ANameWithANulInsideIsNeverTakenForAnother) {
  // Cut at its NUL, "Other\0ZobrikLine" would name "Other", and a subkey
  // named by a NUL alone would name its own parent, over and over.
  const std::u16string nul(1, u'\0');
  const std::u16string all = Section(kUninstall) + Section(kUninstall + u"\\Other", u"@=\"x\"\r\n") +
                             Section(kUninstall + u"\\Other" + nul + u"ZobrikLine", u"@=\"ZobrikLine\"\r\n") +
                             Section(kUninstall + u"\\ZobrikLine", u"@=\"ZobrikLine\"\r\n") +
                             Section(kUninstall + u"\\ZobrikLine\\" + nul);
  ExpectCleanedTo(all, u"");
}

TEST_F(HostileContent, PathsWithDoubledAndTrailingSeparatorsNameTheSameKeys) {
  ReplaceMachine(ReadKeyTree(Utf16Bytes(kHead + Section(kUninstall + u"\\\\Entry\\", u"@=\"ZobrikLine\"\r\n") +
                                        Section(kUninstall + u"\\Other\\\\", u"@=\"x\"\r\n"))));
  Clean();
  const std::string saved = WriteKeyTree(Machine());
  EXPECT_TRUE(saved == Utf16Bytes(kHead + Section(kUninstall + u"\\Other\\\\", u"@=\"x\"\r\n")));
}

}  // namespace
}  // namespace standin
