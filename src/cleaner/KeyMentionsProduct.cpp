// The product test.
#include "cleaner/Keyword.h"
#include "cleaner/Tinst0.h"

bool Tinst0::KeyMentionsProduct(const std::string& path, TProductMention& mention) {
  TRegistry key;
  key.SelectView(view_);
  key.SelectRoot(HKEY_LOCAL_MACHINE);
  // Read, not full, rights: a key that names the product but refuses to be
  // changed is still found, and the run reports it if it stays.
  key.SelectRights(KEY_READ);
  bool verdict = false;
  try {
    if (!key.OpenExisting(path)) return false;
    TStringList names;
    key.ListValues(names);
    std::string text, valueName;
    for (const std::string_view name : names) {
      // A value that is no string, or cannot be read, has no text to test;
      // its name still counts and the scan goes on.
      valueName.assign(name);
      key.TryReadText(valueName, text);
      // The verdict keeps the first value that mentions the product.
      const bool inData = MentionsKeyword(text);
      if (!verdict && (inData || MentionsKeyword(name))) {
        mention = {valueName, inData};
        verdict = true;
      }
    }
  } catch (...) {
    // Any other error ends the scan with the verdict reached so far.
  }
  return verdict;
}
