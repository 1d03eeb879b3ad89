// Reading and writing whole files in tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// UTF-16LE with a BOM, as regedit writes, from ASCII or UTF-8-free text.
inline std::string Utf16File(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// A folder of its own for one test, removed with what it holds.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A copy of the sample machine, machine.reg in `dir`, for a run to change.
std::string CopyOfSample(const TempDir& dir);

// A machine of `components` component keys, one in a hundred the product's.
std::string LargeMachine(int components);

// The built program, run as a user runs it: on `registry` (none: the
// variable unset), with `arguments` (shell words, quoted by the caller)
// and `answers` on its standard input.
struct ProgramResult {
  int exitCode;
  std::string out;  // standard output
  std::string err;  // standard error
};
ProgramResult RunProgram(const TempDir& dir, const std::string& registry, const std::string& arguments,
                         const std::string& answers);
