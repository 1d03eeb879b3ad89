// Writing a new file whole or not at all on Windows.
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/win32.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string LastError() { return ErrorText(static_cast<LONG>(GetLastError())); }

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

bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& error) {
  char temp[MAX_PATH];
  if (GetTempFileNameA(FolderOf(path).c_str(), "tun", 0, temp) == 0) {
    error = "cannot create a file in '" + FolderOf(path) + "': " + LastError();
    return false;
  }
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE && WriteAll(file, bytes) && FlushFileBuffers(file);
  std::string reason = ok ? "" : LastError();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  // Without MOVEFILE_REPLACE_EXISTING, a file that has the name stays.
  if (ok && !MoveFileExA(temp, path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    reason = LastError();
  }
  if (!ok) {
    DeleteFileA(temp);
    error = "cannot write '" + path + "': " + reason;
    return false;
  }
  return true;
}

bool CanWriteNewFile(const std::string& path, std::string& error) {
  if (path.size() >= MAX_PATH) {
    error = "the name '" + path + "' is too long";
    return false;
  }
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    error = "'" + path + "' exists already: name a new file, so that no earlier file is lost";
    return false;
  }
  if (GetLastError() == ERROR_FILE_NOT_FOUND) {
    const std::string folder = FolderOf(path);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      error = "'" + folder + "' in '" + path + "' is not a folder";
      return false;
    }
  }
  error = "'" + path + "' cannot be used: " + LastError();
  return false;
}
