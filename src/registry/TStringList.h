// An ordered list of texts, unsorted, duplicates allowed, in the order they
// were added.
#pragma once

#include <string>
#include <vector>

class TStringList {
 public:
  void Add(std::string text) { items_.push_back(std::move(text)); }
  void Clear() { items_.clear(); }
  void Reserve(size_t count) { items_.reserve(count); }
  size_t Count() const { return items_.size(); }
  const std::string& operator[](size_t index) const { return items_[index]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::string> items_;
};
