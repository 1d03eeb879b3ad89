// An ordered list of texts, unsorted, duplicates allowed, in the order they
// were added. The texts lie one after another in one buffer, each followed
// by a NUL: a key's list of a million subkey names is one allocation, not
// a million, and in large pages where the platform has them.
#pragma once

#include <iterator>
#include <string_view>

#include "platform/LargeMemory.h"

class TStringList {
 public:
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;
    Iterator() = default;
    Iterator(const TStringList* list, size_t index) : list_(list), index_(index) {}
    std::string_view operator*() const { return (*list_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    const TStringList* list_ = nullptr;
    size_t index_ = 0;
  };

  void Add(std::string_view text) {
    starts_.push_back(text_.size());
    text_.insert(text_.end(), text.begin(), text.end());
    text_.push_back('\0');
  }
  void Clear() {
    text_.clear();
    starts_.clear();
  }
  // Room for `count` texts of up to `longest` characters.
  void Reserve(size_t count, size_t longest) {
    starts_.reserve(count);
    text_.reserve(count * (longest + 1));
  }
  size_t Count() const { return starts_.size(); }
  std::string_view operator[](size_t index) const {
    const size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
    return {text_.data() + starts_[index], end - 1 - starts_[index]};
  }
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, starts_.size()}; }

 private:
  LargeVector<char> text_;
  LargeVector<size_t> starts_;
};
