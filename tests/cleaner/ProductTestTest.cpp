// The product test's verdicts.
#include "cleaner/Keyword.h"
#include "cleaner/Tinst0.h"
#include "support/Sandbox.h"

namespace {

using ProductTest = Sandbox;

TEST(Keyword, MatchesAsciiLettersInAnyCaseOnly) {
  EXPECT_TRUE(MentionsKeyword("C:\\Program Files\\ZobrikLine\\zl.exe"));
  EXPECT_TRUE(MentionsKeyword("ZOBRIK"));
  EXPECT_FALSE(MentionsKeyword("zobri k"));
  EXPECT_FALSE(MentionsKeyword("\x82\x9a\x82\x8f\x82\x82\x82\x92\x82\x89\x82\x8b"));  // full-width "ｚｏｂｒｉｋ"
  // Only A-Z are lowered: the bytes of a double-byte character stay as
  // they are, even where they fall in the ASCII range.
  EXPECT_TRUE(MentionsKeyword("\x83Zobrik"));
  EXPECT_FALSE(MentionsKeyword(""));
}

TEST_F(ProductTest, FindsTheKeywordInDataOrName) {
  SetString("data", "path", "C:\\Program Files\\ZobrikLine\\zl.exe");
  SetString("expand", "path", "%ProgramFiles%\\zobrik", REG_EXPAND_SZ);
  SetDword("name", "ZOBRIKLINE.Core", 1);
  SetString("neither", "path", "C:\\Other\\o.exe");
  SetDword("neither", "Count", 1);
  Create("child\\zobrik");
  SetString("child\\zobrik", "zobrik", "zobrik");
  SetRaw("afterNul", "path", REG_SZ, {'C', ':', 0, 'z', 'o', 'b', 'r', 'i', 'k', 0});
  Tinst0 cleaner;
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("data")));
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("expand")));
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("name")));
  EXPECT_FALSE(cleaner.KeyMentionsProduct(Absolute("neither")));
  EXPECT_FALSE(cleaner.KeyMentionsProduct(Absolute("child"))) << "subkeys and the key's name do not count";
  EXPECT_FALSE(cleaner.KeyMentionsProduct(Absolute("afterNul")));
  EXPECT_FALSE(cleaner.KeyMentionsProduct(Absolute("missing")));
}

TEST_F(ProductTest, AValueThatIsNoStringDoesNotEndTheScan) {
  // An uninstall entry as setups write it: a DWORD before the display name.
  SetDword("entry", "NoModify", 1);
  SetRaw("entry", "Blob", REG_BINARY, {1, 2, 3});
  SetRaw("entry", "List", REG_MULTI_SZ, {'a', 0, 0});
  SetString("entry", "DisplayName", "ZobrikLine");
  SetDword("first", "DisplayName", 1);
  SetDword("first", "zobrik.flag", 1);
  SetRaw("emptyBinary", "e", REG_BINARY, {});
  SetString("emptyBinary", "DisplayName", "ZobrikLine");
  Tinst0 cleaner;
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("entry")));
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("first"))) << "a DWORD's own name still counts";
  EXPECT_TRUE(cleaner.KeyMentionsProduct(Absolute("emptyBinary")));
}

}  // namespace
