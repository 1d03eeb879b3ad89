// Test fixtures made with the Win32 registry functions alone, so that the
// same tests run on the stand-in and on a real registry.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Win32.h"

// A key the test owns: created empty before each test, deleted after it.
// Its path is below HKEY_LOCAL_MACHINE\SOFTWARE\Classes, so the test can
// reach it through HKEY_CLASSES_ROOT too.
class Sandbox : public ::testing::Test {
 public:
  static constexpr char kPath[] = "SOFTWARE\\Classes\\t_uninst_tests";
  static constexpr char kClassesPath[] = "t_uninst_tests";

 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the key (and its parents) below the sandbox; "" is the sandbox.
  HKEY Create(const std::string& path);
  void SetString(const std::string& key, const std::string& name, const std::string& text, DWORD type = REG_SZ);
  // Data of any type as given: strings in code page 932, NUL included.
  void SetRaw(const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data);
  void SetDword(const std::string& key, const std::string& name, DWORD value);
  bool Exists(const std::string& path);
  bool HasValue(const std::string& key, const std::string& name);

  // The sandbox's path from HKEY_LOCAL_MACHINE with a leading "\", as the
  // accessor takes absolute paths.
  static std::string Absolute(const std::string& path);

  HKEY sandbox_ = nullptr;
};

// Marks where a real registry under test (Wine) is known to differ from
// Windows; the reason is reported once, next to the expectation it
// replaces.
bool RunningUnderWine();
