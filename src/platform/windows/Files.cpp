// Writing a new file whole or not at all, and appending to the log, on
// Windows.
#include "platform/Files.h"

#include <algorithm>

#include "platform/ErrorText.h"
#include "platform/Output.h"
#include "platform/Win32.h"
#include "platform/windows/CodePages.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string LastError() { return ErrorText(static_cast<LONG>(GetLastError())); }

// A name for the wide file functions: one whose full path is longer than
// MAX_PATH (a short name in a deep current folder too) gets the prefix that
// lifts the limit, which takes a full path.
std::wstring WidePath(const std::string& path) {
  std::wstring wide = WidePathFrom(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0 || length < MAX_PATH - 20) return wide;
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), length, full.data(), nullptr));
  return full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

// A 32-bit program on 64-bit Windows has System32 redirected to SysWOW64;
// the files the user names go where the user named them.
class TNoRedirection {
 public:
  TNoRedirection() : off_(Wow64DisableWow64FsRedirection(&old_) != FALSE) {}
  ~TNoRedirection() {
    if (off_) Wow64RevertWow64FsRedirection(old_);
  }
  TNoRedirection(const TNoRedirection&) = delete;
  TNoRedirection& operator=(const TNoRedirection&) = delete;

 private:
  PVOID old_ = nullptr;
  bool off_;
};

// Where the folders of a full path begin: after its volume's root (C:\ or
// \\server\share\, with or without the long-name prefix \\?\ before it).
size_t FoldersBegin(const std::wstring& full) {
  std::wstring_view rest = full;
  size_t prefix = 0;
  if (rest.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    prefix = 8;
  } else if (rest.rfind(L"\\\\?\\", 0) == 0) {
    return std::min<size_t>(full.size(), 7);
  } else if (rest.rfind(L"\\\\", 0) == 0) {
    prefix = 2;
  } else {
    return std::min<size_t>(full.size(), 3);
  }
  const size_t server = full.find(L'\\', prefix);
  const size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
  return share == std::wstring::npos ? full.size() : share + 1;
}

// Each folder from below the volume's root down to `folder`: none may be a
// reparse point (a junction, a symbolic link, a mount point), which would
// steer an elevated run's files to where another points; with `make`, the
// missing ones are made, with the rights they inherit.
bool CheckFolders(const std::string& folder, bool make, TMessage& error) {
  std::wstring full(MAX_PATH, L'\0');
  const std::wstring wide = WidePathFrom(folder.empty() ? "." : folder);
  DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0) {
    error = QuotedPath(folder) + " cannot be used: " + LastError();
    return false;
  }
  full.resize(length);
  if (!full.empty() && full.back() != L'\\') full += L'\\';
  for (size_t end = full.find(L'\\', FoldersBegin(full)); end != std::wstring::npos; end = full.find(L'\\', end + 1)) {
    const std::wstring step = full.substr(0, end);
    const std::string shown = PathFrom(step);
    const std::wstring name = WidePath(shown);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && make &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
      if (!CreateDirectoryW(name.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = "the folder " + QuotedPath(shown) + " cannot be made: " + LastError();
        return false;
      }
      attributes = GetFileAttributesW(name.c_str());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      error = "the folder " + QuotedPath(shown) + " cannot be used: " + LastError();
      return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      error = QuotedPath(shown) + " is a link (a junction or a symbolic link): name the folder it leads to";
      return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      error = QuotedPath(shown) + " is not a folder";
      return false;
    }
  }
  return true;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteNewFile(const std::string& path, std::string_view bytes, TMessage& error) {
  const TNoRedirection noRedirection;
  // Checked again as the file is written: a link may have taken a folder's
  // place since the run began.
  if (TMessage why; !CheckFolders(FolderOf(path), false, why)) {
    error = "cannot write " + QuotedPath(path) + ": " + why;
    return false;
  }
  // A temporary name beside the file, taken by nobody else.
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (DWORD attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = WidePath(path + ".t_uninst-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot create a file in " + QuotedPath(FolderOf(path)) + ": " + LastError();
    return false;
  }
  bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
  std::string reason = ok ? "" : LastError();
  CloseHandle(file);
  // Without MOVEFILE_REPLACE_EXISTING, a file that has the name stays.
  if (ok && !MoveFileExW(temp.c_str(), WidePath(path).c_str(), MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    reason = LastError();
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    error = "cannot write " + QuotedPath(path) + ": " + reason;
    return false;
  }
  return true;
}

bool CanWriteNewFile(const std::string& path, TMessage& error) {
  const TNoRedirection noRedirection;
  if (GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
    error = QuotedPath(path) + " exists already: name a new file, so that no earlier file is lost";
    return false;
  }
  if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    error = QuotedPath(path) + " cannot be used: " + LastError();
    return false;
  }
  const std::string folder = FolderOf(path);
  if (!CheckFolders(folder, false, error)) return false;
  // Whether the folder takes a new file, told by one made there and gone
  // when closed: its rights, a read-only medium or a full disk may refuse.
  const HANDLE probe =
      CreateFileW(WidePath(path + ".t_uninst-" + std::to_string(GetCurrentProcessId()) + "-probe").c_str(),
                  GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    error = "the folder " + QuotedPath(folder) + " cannot be written: " + LastError();
    return false;
  }
  CloseHandle(probe);
  return true;
}

bool MakeFoldersFor(const std::string& path, TMessage& error) {
  const TNoRedirection noRedirection;
  return CheckFolders(FolderOf(path), true, error);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, TMessage& why) {
  HANDLE file = INVALID_HANDLE_VALUE;
  {
    const TNoRedirection noRedirection;
    file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    why = TMessage("cannot be read: ") + LastError();
    return false;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    why = "is not a regular file";
    return false;
  }
  bytes.clear();
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) bytes.append(buffer, got);
  if (!ok) why = TMessage("cannot be read: ") + LastError();
  CloseHandle(file);
  return ok;
}

bool IsFolder(const std::string& path) {
  const TNoRedirection noRedirection;
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool NameTaken(const std::string& path) {
  const TNoRedirection noRedirection;
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder + name : folder + "\\" + name;
}

TAppendFile::~TAppendFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool TAppendFile::Open(const std::string& path, bool& empty, TMessage& error) {
  HANDLE file = INVALID_HANDLE_VALUE;
  {
    const TNoRedirection noRedirection;
    // The reparse point itself is opened, never what it points to; it is
    // then refused as no regular file.
    file = CreateFileW(WidePath(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    error = QuotedPath(path) + " cannot be opened for appending: " + LastError();
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    CloseHandle(file);
    error = QuotedPath(path) + " is not a regular file";
    return false;
  }
  // A hard link is another name of a file elsewhere, as a link is.
  if (info.nNumberOfLinks > 1) {
    CloseHandle(file);
    error = QuotedPath(path) + " is one of several names of a file (a hard link): name a file of its own";
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  empty = info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
  return true;
}

bool TAppendFile::Append(std::string_view bytes) {
  return handle_ != -1 && WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
}

std::string Utf8Line(const TMessage& line) { return NarrowFrom(CP_UTF8, WideMessage(CP_ACP, line)) + "\r\n"; }

std::u16string PathText(const std::string& path) {
  const std::wstring wide = WidePathFrom(path);
  return {wide.begin(), wide.end()};
}

std::string PathFromText(std::u16string_view text) { return PathFrom(std::wstring(text.begin(), text.end())); }
