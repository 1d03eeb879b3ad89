// The accessor's one exception: a value that cannot be read, or that is
// not a string where a string was asked for. Its message is code page 932
// text naming the value.
#pragma once

#include <stdexcept>
#include <string>

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // "'%s' の取得に失敗しました": the value could not be read.
  static ERegistryException FetchFailed(const std::string& valueName);
  // "'%s' のデータ型が不正です": the value is not a string.
  static ERegistryException WrongKind(const std::string& valueName);
};
