// The Win32 registry functions over the stand-in's key tree: handles, the
// ANSI side in code page 932, access rights and Windows' error codes.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/standin/registry/Upcase.h"
#include "platform/standin/registry/ValueData.h"
#include "platform/standin/win32/Standin.h"
#include "regfile/Cp932.h"
#include "regfile/Utf16le.h"

namespace standin {
namespace {

struct OpenKey {
  Key* key;
  REGSAM access;
};

// The open handles, by value; values are never given twice. Few are open at
// a time, and mostly the last one made is the one closed: a list searched
// from its end, which a run of opens and closes does not allocate for.
class Handles {
 public:
  void Add(ULONG_PTR value, OpenKey key) { open_.push_back({value, key}); }
  const OpenKey* Find(ULONG_PTR value) const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
      if (it->first == value) return &it->second;
    return nullptr;
  }
  bool Remove(ULONG_PTR value) {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
      if (it->first != value) continue;
      open_.erase(std::next(it).base());
      return true;
    }
    return false;
  }
  void Clear() { open_.clear(); }

 private:
  std::vector<std::pair<ULONG_PTR, OpenKey>> open_;
};

constexpr REGSAM kViewBits = KEY_WOW64_32KEY | KEY_WOW64_64KEY;

// The last path walked from a key, and the key each of its names led to,
// by where the name ends in the path: keys opened one after another mostly
// share the names near the root. A cache with no visible effect: a key is
// taken from it only while it is not deleted, and a live key is the one its
// name finds.
struct LastWalk {
  const Key* base = nullptr;
  // The path: an ANSI function's ASCII bytes, or UTF-16 units.
  bool narrow = false;
  std::string bytes;
  std::u16string units;
  std::vector<Key*> keys;
  std::vector<size_t> ends;
};

struct State {
  std::unique_ptr<KeyTree> tree = std::make_unique<KeyTree>();
  Handles handles;
  ULONG_PTR nextHandle = 0x1000;
  // The handle last resolved, and what it stands for, until it is closed:
  // the calls on one key mostly come one after another.
  ULONG_PTR lastHandle = 0;
  OpenKey lastOpen{};
  std::function<LONG(KeyTree&)> flush;
  LastWalk lastWalk;
  std::string data;  // data decoded as a function hands it out (CopyValueData)
};

// Never destroyed: the process ends soon after the registry is saved, and
// freeing a machine's millions of keys one by one would take seconds.
State& state() {
  static State& s = *new State;
  return s;
}

bool IsPredefined(HKEY key, std::uint8_t* root) {
  auto value = reinterpret_cast<ULONG_PTR>(key);
  static const ULONG_PTR codes[kRootCount] = {0x80000000, 0x80000001, 0x80000002, 0x80000003, 0x80000005};
  for (std::uint8_t i = 0; i < kRootCount; ++i) {
    if (codes[i] == value) {
      *root = i;
      return true;
    }
  }
  return false;
}

// Finds the key behind a handle, with the rights it was opened with.
LONG Resolve(HKEY handle, OpenKey* out) {
  State& s = state();
  const auto value = reinterpret_cast<ULONG_PTR>(handle);
  if (value != 0 && value == s.lastHandle) {
    *out = s.lastOpen;
    return out->key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
  }
  std::uint8_t root = 0;
  if (IsPredefined(handle, &root)) {
    *out = {s.tree->Root(root), KEY_ALL_ACCESS};
    return ERROR_SUCCESS;
  }
  const OpenKey* found = s.handles.Find(value);
  if (found == nullptr) return ERROR_INVALID_HANDLE;
  *out = *found;
  s.lastHandle = value;
  s.lastOpen = *found;
  return out->key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

LONG ResolveFor(HKEY handle, REGSAM needed, Key** key) {
  OpenKey open{};
  LONG rc = Resolve(handle, &open);
  if (rc != ERROR_SUCCESS) return rc;
  if ((open.access & needed) != needed) return ERROR_ACCESS_DENIED;
  *key = open.key;
  return ERROR_SUCCESS;
}

// A path or value name as a function of either width gives it, in UTF-16:
// the ANSI ones' converted from code page 932 (where a 0x5C byte may be the
// trail byte of a character, so that only the converted "\\" separates),
// the wide ones' as they are.
class WideArgument {
 public:
  explicit WideArgument(LPCSTR text) {
    if (text == nullptr) return;
    // ASCII, as nearly every name and path is, is itself in code page 932:
    // its bytes are taken as they are, widened only when asked.
    const std::string_view bytes(text);
    if (regfile::AsciiBytes(bytes)) {
      narrow_ = bytes;
      return;
    }
    regfile::Cp932ToUtf16(bytes, converted_);
    view_ = converted_;
    widened_ = true;
  }
  explicit WideArgument(LPCWSTR text) : view_(text == nullptr ? std::u16string_view() : text), widened_(true) {}
  WideArgument(const WideArgument&) = delete;
  WideArgument& operator=(const WideArgument&) = delete;

  // Whether it is an ANSI function's ASCII, and its bytes.
  bool Narrow() const { return !widened_ || narrow_.data() != nullptr; }
  std::string_view Bytes() const { return narrow_; }
  std::u16string_view view() const {
    if (!widened_) {
      converted_.assign(narrow_.begin(), narrow_.end());
      view_ = converted_;
      widened_ = true;
    }
    return view_;
  }
  // As a name to look up: ASCII given to an ANSI function as its bytes,
  // which compare with a file's ASCII names byte for byte.
  Name name() const { return narrow_.data() != nullptr ? Name::Narrow(narrow_.data(), narrow_.size()) : Name(view_); }

 private:
  std::string_view narrow_;
  mutable std::u16string converted_;
  mutable std::u16string_view view_;
  mutable bool widened_ = false;
};

// Calls `visit` with each part of a path. Empty parts (doubled or trailing
// separators) are passed over; a leading separator is the caller's error
// to report. Stops at the first part `visit` gives false for.
template <typename Char, typename Visit>
bool ForEachPart(std::basic_string_view<Char> path, Visit visit) {
  for (size_t start = 0; start <= path.size();) {
    const size_t end = std::min(path.find('\\', start), path.size());
    if (end > start && !visit(path.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

// How many units two texts share from their start.
template <typename Char>
size_t CommonLength(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  const size_t both = std::min(a.size(), b.size());
  size_t i = 0;
  for (; i + 8 / sizeof(Char) <= both; i += 8 / sizeof(Char))
    if (std::memcmp(a.data() + i, b.data() + i, 8) != 0) break;
  while (i < both && a[i] == b[i]) ++i;
  return i;
}

std::string& LastPath(LastWalk& last, std::string_view) { return last.bytes; }
std::u16string& LastPath(LastWalk& last, std::u16string_view) { return last.units; }
Name NameOf(std::string_view part) { return Name::Narrow(part.data(), part.size()); }
Name NameOf(std::u16string_view part) { return Name(part); }

// Walks a path of ASCII bytes or of UTF-16 units from a key.
template <typename Char>
LONG WalkOver(Key* base, std::basic_string_view<Char> text, Key** out) {
  LastWalk& last = state().lastWalk;
  auto& lastPath = LastPath(last, text);
  const bool narrow = sizeof(Char) == 1;
  // The names this path spells as the last one did, up to a separator,
  // lead to the same keys while those live.
  size_t kept = 0;
  if (last.base == base && last.narrow == narrow) {
    const size_t common = CommonLength(text, std::basic_string_view<Char>(lastPath));
    while (kept < last.ends.size() && last.ends[kept] <= common &&
           (last.ends[kept] == text.size() || text[last.ends[kept]] == '\\') && !last.keys[kept]->deleted)
      ++kept;
  }
  last.keys.resize(kept);
  last.ends.resize(kept);
  Key* key = kept == 0 ? base : last.keys.back();
  const size_t from = kept == 0 ? 0 : last.ends.back();
  const bool found = ForEachPart(text.substr(from), [&key, &last, &text](std::basic_string_view<Char> part) {
    key = key->FindChild(NameOf(part));
    if (key == nullptr) return false;
    last.keys.push_back(key);
    last.ends.push_back(static_cast<size_t>(part.data() + part.size() - text.data()));
    return true;
  });
  last.base = base;
  last.narrow = narrow;
  lastPath.assign(text.substr(0, last.ends.empty() ? 0 : last.ends.back()));
  if (!found) return ERROR_FILE_NOT_FOUND;
  *out = key;
  return ERROR_SUCCESS;
}

template <typename Char>
LONG Walk(Key* base, const Char* path, Key** out) {
  if (path != nullptr && path[0] == '\\') return ERROR_BAD_PATHNAME;
  const WideArgument wide(path);
  return wide.Narrow() ? WalkOver(base, wide.Bytes(), out) : WalkOver(base, wide.view(), out);
}

HKEY NewHandle(Key* key, REGSAM access) {
  State& s = state();
  ULONG_PTR value = s.nextHandle;
  s.nextHandle += 4;
  s.handles.Add(value, OpenKey{key, access & ~kViewBits});
  return reinterpret_cast<HKEY>(value);
}

std::vector<std::uint8_t> StoredData(DWORD type, const BYTE* data, DWORD size) {
  if (data == nullptr) return {};
  if (!IsStringType(type)) return {data, data + size};
  return regfile::Utf16LeBytes(regfile::Cp932ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size)));
}

// Copies data out the way RegQueryValueExA does: the size always, the bytes
// when they fit, ERROR_MORE_DATA when they do not.
LONG CopyData(std::string_view bytes, LPBYTE data, LPDWORD size) {
  if (size == nullptr) return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
  DWORD available = *size;
  *size = static_cast<DWORD>(bytes.size());
  if (data == nullptr) return ERROR_SUCCESS;
  if (available < bytes.size()) return ERROR_MORE_DATA;
  std::copy(bytes.begin(), bytes.end(), data);
  return ERROR_SUCCESS;
}

// Copies a value's data out as a function of that width gives it: the ANSI
// ones convert strings to CP932 (embedded NULs kept), the wide ones and
// every other type give it as stored. A size alone is found without
// decoding the data, and data that does not fit is not decoded.
template <typename Char>
LONG CopyValueData(const Value& v, LPBYTE data, LPDWORD size) {
  const KeyTree& tree = Machine();
  // Decoded into a buffer kept from call to call: one allocation for the
  // run rather than one for each value read.
  std::string& decoded = state().data;
  decoded.clear();
  if constexpr (std::is_same_v<Char, char>) {
    if (IsStringType(v.type)) {
      if (data == nullptr && size != nullptr) {
        *size = static_cast<DWORD>(AnsiSize(tree, v));
        return ERROR_SUCCESS;
      }
      AppendAnsi(tree, v, decoded);
      return CopyData(decoded, data, size);
    }
  }
  if (size == nullptr || data == nullptr || *size < v.size) {
    if (size != nullptr) *size = v.size;
    if (data == nullptr) return ERROR_SUCCESS;
    return size == nullptr ? ERROR_INVALID_PARAMETER : ERROR_MORE_DATA;
  }
  if (v.form == DataForm::kStored) return CopyData(std::string_view(v.data, v.size), data, size);
  AppendStored(tree, v, decoded);
  return CopyData(decoded, data, size);
}

// Copies a name out with its terminating NUL, when it fits; the length
// given back leaves the NUL out.
template <typename Char, typename Text>
LONG CopyText(const Text& text, Char* out, LPDWORD length) {
  if (text.size() + 1 > *length) return ERROR_MORE_DATA;
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = Char{};
  *length = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

// A name as a function of that width gives it: the ANSI ones in code page
// 932, where ASCII is itself and needs no conversion.
LONG CopyName(const Name& name, char* out, LPDWORD length) {
  if (out == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
  if (name.narrow()) return CopyText(std::string_view(name.bytes(), name.size()), out, length);
  const std::u16string_view units = name.View();
  if (std::all_of(units.begin(), units.end(), [](char16_t c) { return c < 0x80; })) return CopyText(units, out, length);
  return CopyText(regfile::Utf16ToCp932(units), out, length);
}

LONG CopyName(const Name& name, char16_t* out, LPDWORD length) {
  if (out == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
  if (name.narrow()) return CopyText(std::string_view(name.bytes(), name.size()), out, length);
  return CopyText(name.View(), out, length);
}

}  // namespace

KeyTree& Machine() { return *state().tree; }

void ReplaceMachine(std::unique_ptr<KeyTree> tree) {
  state().handles.Clear();
  state().lastHandle = 0;
  state().lastWalk = {};
  state().tree = std::move(tree);
}

void SetFlushHandler(std::function<LONG(KeyTree&)> handler) { state().flush = std::move(handler); }

const Key* KeyOfHandle(HKEY handle) {
  OpenKey open{};
  return Resolve(handle, &open) == ERROR_SUCCESS ? open.key : nullptr;
}

LONG DenyAccess(HKEY handle, REGSAM denied) {
  OpenKey open{};
  LONG rc = Resolve(handle, &open);
  if (rc == ERROR_SUCCESS) state().tree->Deny(*open.key, denied);
  return rc;
}

}  // namespace standin

using namespace standin;

namespace {

template <typename Char>
LONG OpenSubkey(HKEY base, const Char* subKey, REGSAM desired, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  OpenKey from{};
  LONG rc = Resolve(base, &from);
  Key* key = nullptr;
  if (rc == ERROR_SUCCESS) rc = Walk(from.key, subKey, &key);
  if (rc == ERROR_SUCCESS && (key->Denied() & desired & ~kViewBits) != 0) rc = ERROR_ACCESS_DENIED;
  if (rc != ERROR_SUCCESS) return rc;
  *result = NewHandle(key, desired);
  return ERROR_SUCCESS;
}

// Opens the key, made with the keys above it when missing: each needs the
// right to make a subkey of the key it is made in.
template <typename Char>
LONG CreateSubkey(HKEY base, const Char* subKey, REGSAM desired, PHKEY result, LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  if (subKey != nullptr && subKey[0] == '\\') return ERROR_BAD_PATHNAME;
  OpenKey from{};
  LONG rc = Resolve(base, &from);
  if (rc != ERROR_SUCCESS) return rc;
  KeyTree& tree = Machine();
  Key* key = from.key;
  bool created = false;
  const WideArgument path(subKey);
  const bool allowed = ForEachPart(path.view(), [&](std::u16string_view part) {
    if (key->FindChild(part) == nullptr && (from.access & KEY_CREATE_SUB_KEY) == 0) return false;
    key = tree.Child(*key, part, &created);
    return true;
  });
  if (!allowed) return ERROR_ACCESS_DENIED;
  if ((key->Denied() & desired & ~kViewBits) != 0) return ERROR_ACCESS_DENIED;
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(key, desired);
  return ERROR_SUCCESS;
}

template <typename Char>
LONG EnumKey(HKEY handle, DWORD index, Char* name, LPDWORD nameLength, Char* keyClass, LPDWORD classLength,
             PFILETIME lastWriteTime) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_ENUMERATE_SUB_KEYS, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (index >= key->SubkeyCount()) return ERROR_NO_MORE_ITEMS;
  rc = CopyName(Machine().Subkey(*key, index).name, name, nameLength);
  if (rc != ERROR_SUCCESS) return rc;
  if (keyClass != nullptr && classLength != nullptr && *classLength > 0) keyClass[0] = '\0';
  if (classLength != nullptr) *classLength = 0;
  if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

// Values as the ANSI functions give them, or as stored for the wide ones.
template <typename Char>
LONG EnumValue(HKEY handle, DWORD index, Char* name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
               LPDWORD dataLength) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_QUERY_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (index >= key->ValueCount()) return ERROR_NO_MORE_ITEMS;
  const Value& v = Machine().ValueAt(*key, index);
  rc = CopyName(v.name, name, nameLength);
  if (rc != ERROR_SUCCESS) return rc;
  if (type != nullptr) *type = v.type;
  if (data == nullptr && dataLength == nullptr) return ERROR_SUCCESS;
  return CopyValueData<Char>(v, data, dataLength);
}

template <typename Char>
LONG QueryValue(HKEY handle, const Char* name, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_QUERY_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  const Value* v = key->FindValue(WideArgument(name).name());
  if (v == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = v->type;
  return CopyValueData<Char>(*v, data, dataLength);
}

// Sets a value with its data as stored: the wide function's as given, the
// ANSI one's strings converted to UTF-16.
template <typename Char>
LONG SetValue(HKEY handle, const Char* name, DWORD type, std::span<const BYTE> stored) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_SET_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  Machine().SetValue(*key, WideArgument(name).view(), type, stored);
  return ERROR_SUCCESS;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY base, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  return OpenSubkey(base, subKey, desired, result);
}

LONG WINAPI RegOpenKeyExW(HKEY base, LPCWSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  return OpenSubkey(base, subKey, desired, result);
}

LONG WINAPI RegCreateKeyExA(HKEY base, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired, LPSECURITY_ATTRIBUTES,
                            PHKEY result, LPDWORD disposition) {
  return CreateSubkey(base, subKey, desired, result, disposition);
}

LONG WINAPI RegCreateKeyExW(HKEY base, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM desired, LPSECURITY_ATTRIBUTES,
                            PHKEY result, LPDWORD disposition) {
  return CreateSubkey(base, subKey, desired, result, disposition);
}

LONG WINAPI RegCloseKey(HKEY handle) {
  std::uint8_t root = 0;
  if (IsPredefined(handle, &root)) return ERROR_SUCCESS;
  State& s = state();
  const auto value = reinterpret_cast<ULONG_PTR>(handle);
  if (value == s.lastHandle) s.lastHandle = 0;
  return s.handles.Remove(value) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG WINAPI RegQueryInfoKeyA(HKEY handle, LPSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                             LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                             LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptorSize,
                             PFILETIME lastWriteTime) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_QUERY_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (keyClass != nullptr && classLength != nullptr && *classLength > 0) keyClass[0] = '\0';
  if (classLength != nullptr) *classLength = 0;
  if (subKeys != nullptr) *subKeys = static_cast<DWORD>(key->SubkeyCount());
  // Name maxima count UTF-16 units, as NT reports them; data maxima bytes.
  if (maxSubKeyLength != nullptr) *maxSubKeyLength = static_cast<DWORD>(key->LongestChildName());
  if (maxClassLength != nullptr) *maxClassLength = 0;
  if (values != nullptr) *values = static_cast<DWORD>(key->ValueCount());
  if (maxValueNameLength != nullptr) *maxValueNameLength = static_cast<DWORD>(key->LongestValueName());
  if (maxValueLength != nullptr) *maxValueLength = static_cast<DWORD>(key->LongestData());
  if (securityDescriptorSize != nullptr) *securityDescriptorSize = 0;
  if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyExA(HKEY handle, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR keyClass,
                          LPDWORD classLength, PFILETIME lastWriteTime) {
  return EnumKey(handle, index, name, nameLength, keyClass, classLength, lastWriteTime);
}

LONG WINAPI RegEnumKeyExW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR keyClass,
                          LPDWORD classLength, PFILETIME lastWriteTime) {
  return EnumKey(handle, index, name, nameLength, keyClass, classLength, lastWriteTime);
}

LONG WINAPI RegEnumValueA(HKEY handle, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, LPBYTE data,
                          LPDWORD dataLength) {
  return EnumValue(handle, index, name, nameLength, type, data, dataLength);
}

LONG WINAPI RegEnumValueW(HKEY handle, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, LPBYTE data,
                          LPDWORD dataLength) {
  return EnumValue(handle, index, name, nameLength, type, data, dataLength);
}

LONG WINAPI RegQueryValueExA(HKEY handle, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  return QueryValue(handle, name, type, data, dataLength);
}

LONG WINAPI RegQueryValueExW(HKEY handle, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
  return QueryValue(handle, name, type, data, dataLength);
}

LONG WINAPI RegSetValueExA(HKEY handle, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataLength) {
  return SetValue(handle, name, type, StoredData(type, data, dataLength));
}

LONG WINAPI RegSetValueExW(HKEY handle, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataLength) {
  return SetValue(handle, name, type, std::span<const BYTE>(data, data == nullptr ? 0 : dataLength));
}

LONG WINAPI RegDeleteKeyA(HKEY base, LPCSTR subKey) {
  OpenKey from{};
  LONG rc = Resolve(base, &from);
  Key* key = nullptr;
  if (rc == ERROR_SUCCESS) rc = Walk(from.key, subKey, &key);
  if (rc != ERROR_SUCCESS) return rc;
  if (key->parent == nullptr || key->SubkeyCount() != 0 || (key->Denied() & DELETE) != 0) return ERROR_ACCESS_DENIED;
  Machine().Remove(*key);
  return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteKeyExA(HKEY base, LPCSTR subKey, REGSAM, DWORD) { return RegDeleteKeyA(base, subKey); }

LONG WINAPI RegDeleteValueA(HKEY handle, LPCSTR name) {
  Key* key = nullptr;
  LONG rc = ResolveFor(handle, KEY_SET_VALUE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  return Machine().RemoveValue(*key, WideArgument(name).view()) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG WINAPI RegFlushKey(HKEY handle) {
  OpenKey open{};
  LONG rc = Resolve(handle, &open);
  if (rc != ERROR_SUCCESS) return rc;
  return state().flush ? state().flush(Machine()) : ERROR_SUCCESS;
}

DWORD WINAPI GetVersion() { return 0x1DB10106; }  // Windows NT 6.1, build 7601: the high bit clear means NT

LCID WINAPI GetThreadLocale() { return 0x0411; }  // Japanese (Japan)

int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength) {
  if (codePage != CP_ACP || text == nullptr) return 0;
  const std::u16string converted = regfile::Cp932ToUtf16(length < 0 ? std::string_view(text, std::strlen(text) + 1)
                                                                    : std::string_view(text, length));
  if (wideLength == 0) return static_cast<int>(converted.size());
  if (wide == nullptr || wideLength < static_cast<int>(converted.size())) return 0;
  std::copy(converted.begin(), converted.end(), wide);
  return static_cast<int>(converted.size());
}

int WINAPI CompareStringOrdinal(LPCWSTR a, int aLength, LPCWSTR b, int bLength, BOOL ignoreCase) {
  const auto text = [](LPCWSTR units, int length) {
    return length < 0 ? std::u16string_view(units) : std::u16string_view(units, static_cast<size_t>(length));
  };
  const int order =
      ignoreCase ? CompareUpcased(text(a, aLength), text(b, bLength)) : text(a, aLength).compare(text(b, bLength));
  return order < 0 ? CSTR_LESS_THAN : order == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
}

BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info) {
  if (codePage != CP_ACP || info == nullptr) return 0;
  *info = CPINFO{2, {'?', 0}, {0x81, 0x9F, 0xE0, 0xFC, 0, 0, 0, 0, 0, 0, 0, 0}};
  return 1;
}
