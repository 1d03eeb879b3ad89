// The registry accessor: the way the cleaner's passes and its plan reach
// the registry, by the ANSI functions, as the cleaner was first written.
// The wide functions (Reg*W) are called directly only where names and data
// must come whole, which ANSI names cannot carry: the look for names the
// passes cannot spell (cleaner/UnspellableNames.cpp), and the backup and
// the restore (backup/); the platform saves the registry itself
// (SaveMachineRegistry).
//
// An accessor holds one root key and at most one opened key. Paths are ANSI
// key names separated by "\"; a path that begins with "\" is absolute and
// resolves against the root, any other path (the empty one too) against the
// opened key when one is open, else against the root. Only FetchValue and
// ReadText raise; every other operation reports failure through its result
// (TryReadText as well) and leaves the accessor as it was.
#pragma once

#include <cstdint>
#include <string>

#include "platform/KeyIdentity.h"
#include "platform/Win32.h"
#include "registry/ERegistryException.h"
#include "registry/EnumerateName.h"
#include "registry/TStringList.h"
#include "registry/ValueKind.h"

struct TKeyStats {
  DWORD SubkeyCount = 0;
  DWORD SubkeyNameMax = 0;
  DWORD ValueCount = 0;
  DWORD ValueNameMax = 0;
  DWORD ValueDataMax = 0;
  FILETIME LastWrite{0, 0};
};

struct TValueStats {
  TValueKind DataKind = vkUnknown;
  DWORD Size = 0;
};

// How much of a key's subtree could be read, for DescribeTree.
enum class TTreeReading {
  kMissing,  // no such key
  kNone,     // the key is there but cannot be read
  kPart,     // some of the keys in it and below it cannot be read
  kWhole,
};

// True unless the path begins with "\".
bool IsRelativePath(const std::string& path);

class TRegistry {
 public:
  // Root HKEY_CURRENT_USER, no key open, rights KEY_ALL_ACCESS.
  TRegistry() = default;
  // Closes the opened key.
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY Root() const { return root_; }
  HKEY Opened() const { return opened_; }
  // The opened key's path below the root, without a leading "\"; empty when
  // no key is open.
  const std::string& OpenedPath() const { return openedPath_; }
  REGSAM Rights() const { return rights_; }
  REGSAM View() const { return view_; }

  // A different root closes the opened key; the same root changes nothing.
  void SelectRoot(HKEY root);

  // Added to every open: KEY_WOW64_64KEY or KEY_WOW64_32KEY picks a registry
  // view on 64-bit Windows; 0, the default, the program's own view.
  void SelectView(REGSAM view) { view_ = view; }

  // Opens an existing key with Rights and makes it the opened key. A
  // relative path opened while a key is open extends OpenedPath. On failure
  // the key opened before stays open with its path.
  bool OpenExisting(const std::string& path);

  void CloseOpened();

  // Counts and maxima of the opened key; false when no key is open or the
  // query fails. On a double-byte system the name maxima are doubled, since
  // the system counts them in characters.
  bool QueryStats(TKeyStats& stats);

  // Fill the list (cleared first) with the names of the opened key's direct
  // subkeys or values, in the registry's enumeration order: a snapshot that
  // later deletions do not disturb. Empty when no key is open. The default
  // value is listed under the empty name.
  void ListSubkeys(TStringList& list);
  void ListValues(TStringList& list);

  // Kind and size of one value of the opened key, without its data.
  bool QueryValue(const std::string& name, TValueStats& stats);
  // Its size in bytes, -1 when it cannot be queried.
  std::int64_t ValueSize(const std::string& name);

  // Reads a value into the buffer and gives the bytes read; raises
  // ERegistryException (fetch message) when the read fails.
  DWORD FetchValue(const std::string& name, void* buffer, DWORD size, TValueKind& kind);

  // The text of a string or expandable-string value, cut at its first NUL.
  // A missing or empty value, of any type, reads as the empty text; a value
  // of another kind with data raises ERegistryException (kind message).
  std::string ReadText(const std::string& name);
  // Reads as ReadText, with the same calls, and gives false, with the text
  // empty, where ReadText raises: a scan of many values that goes on past
  // the ones with no text does not pay for an exception each.
  bool TryReadText(const std::string& name, std::string& text);

  // Opens a key with Rights, resolved as OpenExisting resolves it, without
  // making it the opened key. Null on failure; the caller closes it (a
  // TKeyHandle does).
  HKEY OpenHandleOf(const std::string& path);

  // Deletes the key and every key below it, deepest first. True when the
  // key itself was deleted. The opened key is the same afterwards.
  bool DeleteTree(const std::string& path);

  // Deletes one value of the opened key.
  bool RemoveValue(const std::string& name);

  // The registry's answer to the last OpenExisting, DeleteTree or
  // RemoveValue: ERROR_SUCCESS, or why it refused.
  LONG LastError() const { return lastError_; }

  // Whether the key at `path` is there, whatever rights it grants; and
  // whether a value of it is. Anything but a clear "not found" counts as
  // there: a refusal means the key exists.
  bool KeyExists(const std::string& path);
  bool ValueExists(const std::string& path, const std::string& name);

  // The path below the root that a key path names, as OpenExisting and
  // DeleteTree resolve it: a relative path follows OpenedPath.
  std::string FullPath(const std::string& path) const;

  // What a plan of removals needs of the key at `path`: which key it is,
  // whatever root, view or spelling reached it (KeyIdentity), and how many
  // keys lie below it and values in and below it, walking as DeleteTree
  // walks. It asks only for the rights to read (KEY_READ): a key that
  // refuses full rights is still described, and one that refuses even
  // these is still found (kNone), its identity known when the registry
  // names it to an open that asks for no rights.
  TTreeReading DescribeTree(const std::string& path, std::basic_string<WCHAR>& identity, DWORD& subkeys, DWORD& values);

  // Which key the opened key is (KeyIdentity); empty when none is open.
  std::basic_string<WCHAR> OpenedIdentity() const;

  // The key a path resolves against.
  HKEY BaseFor(bool relative) const;

 private:
  enum class TextRead { kRead, kFetchFailed, kWrongKind };
  TextRead ReadTextInto(const std::string& name, std::string& text);
  void ListNames(NameList which, TStringList& list);
  // False when some of it could not be read.
  bool CountBelow(HKEY key, DWORD& subkeys, DWORD& values);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY opened_ = nullptr;
  std::string openedPath_;
  REGSAM rights_ = KEY_ALL_ACCESS;
  REGSAM view_ = 0;
  LONG lastError_ = ERROR_SUCCESS;
};
