// The product test's verdicts.
#include "cleaner/Keyword.h"
#include "cleaner/Tinst0.h"
#include "support/Sandbox.h"

namespace {

class ProductTest : public Sandbox {
 protected:
  // The test's verdict on a key of the sandbox: the value it names, and
  // where the keyword is; "" when it finds none.
  static std::string Mention(const std::string& key) {
    TProductMention mention;
    if (!Tinst0().KeyMentionsProduct(Absolute(key), mention)) return "";
    return mention.ValueName + (mention.InData ? " in its data" : " in its name");
  }
};

TEST(Keyword, MatchesAsciiLettersInAnyCaseOnly) {
  EXPECT_TRUE(MentionsKeyword("C:\\Program Files\\ZobrikLine\\zl.exe"));
  EXPECT_TRUE(MentionsKeyword("ZOBRIK"));
  EXPECT_FALSE(MentionsKeyword("zobri k"));
  EXPECT_FALSE(MentionsKeyword("\x82\x9a\x82\x8f\x82\x82\x82\x92\x82\x89\x82\x8b"));  // full-width "ｚｏｂｒｉｋ"
  // Bytes are lowered one by one, double-byte characters not told apart:
  // the trail byte "Z" of "セ" (\x83Z) is lowered too.
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
  EXPECT_EQ(Mention("data"), "path in its data");
  EXPECT_EQ(Mention("expand"), "path in its data");
  EXPECT_EQ(Mention("name"), "ZOBRIKLINE.Core in its name");
  EXPECT_EQ(Mention("neither"), "");
  EXPECT_EQ(Mention("child"), "") << "subkeys and the key's name do not count";
  EXPECT_EQ(Mention("afterNul"), "");
  EXPECT_EQ(Mention("missing"), "");
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
  EXPECT_EQ(Mention("entry"), "DisplayName in its data");
  EXPECT_EQ(Mention("first"), "zobrik.flag in its name") << "a DWORD's own name still counts";
  EXPECT_EQ(Mention("emptyBinary"), "DisplayName in its data");
}

}  // namespace
