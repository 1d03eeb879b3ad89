// A list that grows a block at a time: what it holds never moves, and
// growing never holds the old and the new storage at once. Blocks double
// from a small page's worth of items to a large page's (LargeMemory.h), so
// that a small list stays small; a list known to grow large takes large
// blocks from the first.
#pragma once

#include <algorithm>
#include <bit>
#include <vector>

#include "platform/LargeMemory.h"

namespace standin {

template <typename T>
class Chunked {
 public:
  // A new item at the end, default-initialized.
  // Large blocks from the first; before the first item.
  void GrowLarge() { large_ = true; }

  T& emplace_back() {
    const auto [block, at] = Locate(size_);
    if (block == blocks_.size()) blocks_.emplace_back(BlockSize(block));
    ++size_;
    return blocks_[block][at];
  }
  void push_back(const T& item) { emplace_back() = item; }
  T& operator[](size_t i) {
    const auto [block, at] = Locate(i);
    return blocks_[block][at];
  }
  const T& operator[](size_t i) const {
    const auto [block, at] = Locate(i);
    return blocks_[block][at];
  }
  T& back() { return (*this)[size_ - 1]; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  static constexpr size_t kFirst = sizeof(T) >= 4096 ? 1 : 4096 / sizeof(T);
  static constexpr size_t kLast = std::max(kFirst, kLargeBlock<T>);
  // The blocks that double, and where the first of full size begins.
  static constexpr size_t kDoubling = std::bit_width(kLast / kFirst) - 1;
  static constexpr size_t kFullFrom = kFirst * ((size_t{1} << kDoubling) - 1);

  size_t BlockSize(size_t block) const { return block < kDoubling && !large_ ? kFirst << block : kLast; }

  std::pair<size_t, size_t> Locate(size_t i) const {
    if (large_) return {i / kLast, i % kLast};
    if (i < kFullFrom) {
      const size_t block = std::bit_width(i / kFirst + 1) - 1;
      return {block, i - kFirst * ((size_t{1} << block) - 1)};
    }
    return {kDoubling + (i - kFullFrom) / kLast, (i - kFullFrom) % kLast};
  }

  std::vector<LargeArray<T>> blocks_;
  size_t size_ = 0;
  bool large_ = false;
};

}  // namespace standin
