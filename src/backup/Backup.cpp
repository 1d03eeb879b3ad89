#include "backup/Backup.h"

#include <algorithm>
#include <span>

#include "backup/BackupLine.h"
#include "platform/Files.h"
#include "platform/Output.h"
#include "regfile/RegValueText.h"
#include "regfile/Utf16le.h"
#include "registry/TKeyHandle.h"

namespace {

constexpr std::u16string_view kNewline = u"\r\n";
// Names are at most 16,383 characters.
constexpr DWORD kLongestName = 16384;

std::u16string Utf16(const WCHAR* text, size_t length) { return std::u16string(text, text + length); }

std::u16string FromAnsi(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::basic_string<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 0), WCHAR(0));
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return Utf16(wide.data(), wide.size());
}

std::u16string RootName(HKEY root) { return root == HKEY_CLASSES_ROOT ? u"HKEY_CLASSES_ROOT" : u"HKEY_LOCAL_MACHINE"; }

// Reads data of any size: the buffer grows until the value fits.
template <typename Read>
LONG ReadData(std::vector<BYTE>& data, DWORD& size, Read read) {
  for (;;) {
    size = static_cast<DWORD>(data.size());
    const LONG rc = read(data.data(), &size);
    if (rc != ERROR_MORE_DATA) return rc;
    data.resize(std::max<size_t>(size, data.size() * 2));
  }
}

class Exporter {
 public:
  explicit Exporter(REGSAM view) : view_(view) {}

  // A key's section and those of every key below it, as regedit exports.
  bool Key(HKEY key, const std::u16string& path, std::u16string& out) {
    Header(path, out);
    std::vector<WCHAR> name(kLongestName);
    for (DWORD index = 0;; ++index) {
      DWORD type = 0, size = 0, length = kLongestName;
      const LONG rc = ReadData(data_, size, [&](BYTE* buffer, DWORD* bytes) {
        length = kLongestName;
        return RegEnumValueW(key, index, name.data(), &length, nullptr, &type, buffer, bytes);
      });
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return false;
      regfile::AppendRegValue(out, Utf16(name.data(), length), type, std::span(data_.data(), size), kNewline);
    }
    for (DWORD index = 0;; ++index) {
      DWORD length = kLongestName;
      const LONG rc = RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return false;
      TKeyHandle child;
      if (child.Open(key, name.data(), KEY_READ | view_) != ERROR_SUCCESS) return false;
      if (!Key(child.Get(), path + u"\\" + Utf16(name.data(), length), out)) return false;
    }
    return true;
  }

  // One value, in a section of its key.
  bool Value(HKEY key, const std::u16string& path, const std::string& name, std::u16string& out) {
    const std::u16string wide = FromAnsi(name);
    const std::basic_string<WCHAR> query(wide.begin(), wide.end());
    DWORD type = 0, size = 0;
    const LONG rc = ReadData(data_, size, [&](BYTE* buffer, DWORD* bytes) {
      return RegQueryValueExW(key, query.c_str(), nullptr, &type, buffer, bytes);
    });
    if (rc != ERROR_SUCCESS) return false;
    Header(path, out);
    regfile::AppendRegValue(out, wide, type, std::span(data_.data(), size), kNewline);
    return true;
  }

 private:
  static void Header(const std::u16string& path, std::u16string& out) {
    out += kNewline;
    out += u"[" + path + u"]";
    out += kNewline;
  }

  REGSAM view_;
  std::vector<BYTE> data_ = std::vector<BYTE>(4096);
};

bool Export(const TRemoval& item, std::u16string& out) {
  TKeyHandle key;
  if (key.Open(item.Root, item.KeyPath.c_str(), KEY_READ | item.View) != ERROR_SUCCESS) return false;
  const std::u16string path = RootName(item.Root) + u"\\" + FromAnsi(item.KeyPath);
  Exporter exporter(item.View);
  return item.IsKey ? exporter.Key(key.Get(), path, out) : exporter.Value(key.Get(), path, item.ValueName, out);
}

// The check that a backup is on disk as it was meant to be.
bool ReadsBackAs(const std::string& file, const std::string& bytes) {
  std::string back;
  TMessage ignored;
  return ReadWholeFile(file, back, ignored) && back == bytes;
}

std::string FileBytes(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  regfile::AppendUtf16Le(bytes, text);
  return bytes;
}

std::u16string Comments(const std::vector<REGSAM>& views, size_t viewIndex, const std::string& path, bool secondFile) {
  std::u16string text =
      BackupLine(views.size(), viewIndex, viewIndex == 0 && secondFile ? PathText(BackupFileFor(path, 1)) : u"");
  text += kNewline;
  text += u"; What t_uninst removed of ZobrikLine. To put it back:";
  text += kNewline;
  if (viewIndex == 0) {
    // reg.exe picks the view by /reg:64 or /reg:32, or else by its own
    // bitness, which a 32-bit console changes.
    text += u";   on Windows:  reg import \"" + PathText(BackupFileFor(path, 0)) + u"\"";
    if (views.size() > 1) text += u" /reg:64   (the 64-bit view)";
    text += kNewline;
    text += u";   elsewhere:   t_uninst --restore \"" + PathText(BackupFileFor(path, 0)) + u"\"";
    text += kNewline;
    if (secondFile) {
      text += u"; The 32-bit view's part is in \"" + PathText(BackupFileFor(path, 1)) + u"\".";
      text += kNewline;
    }
  } else {
    text += u";   on Windows:  reg import \"" + PathText(BackupFileFor(path, viewIndex)) +
            u"\" /reg:32   (the 32-bit view)";
    text += kNewline;
  }
  return text;
}

}  // namespace

bool WriteBackup(const TRemovalPlan& plan, const std::vector<REGSAM>& views, const std::string& path, TMessage& error) {
  std::vector<std::u16string> sections(views.size());
  for (const TRemoval& item : plan.Items()) {
    // A key that cannot be read whole is not removed either (RemovePlanned).
    if (item.Reading != TTreeReading::kWhole) continue;
    size_t view = 0;
    while (view + 1 < views.size() && views[view] != item.View) ++view;
    if (!Export(item, sections[view])) {
      error = "cannot read " + TMessage::AnsiName(item.KeyPath);
      if (!item.IsKey) error += " \"" + TMessage::AnsiName(item.ValueName) + "\"";
      return false;
    }
  }
  for (size_t view = 0; view < views.size(); ++view) {
    // The first file is written even when empty, so that its name always
    // tells the user what a run removed.
    if (view > 0 && sections[view].empty()) continue;
    const bool secondFile = views.size() > 1 && !sections[1].empty();
    const std::u16string text = u"Windows Registry Editor Version 5.00" + std::u16string(kNewline) +
                                Comments(views, view, path, secondFile) + sections[view];
    const std::string file = BackupFileFor(path, view), bytes = FileBytes(text);
    if (!WriteNewFile(file, bytes, error)) return false;
    if (!ReadsBackAs(file, bytes)) {
      error = QuotedPath(file) + " does not read back as it was written";
      return false;
    }
  }
  return true;
}
