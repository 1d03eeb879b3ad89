// Memory for large blocks: the stand-in's machine file and the index of
// it, and the lists of a large key's names. On the stand-in a block of a
// megabyte or more is asked for in the system's large pages: a machine's
// registry takes hundreds of megabytes, and a fault for each small page of
// them costs more than reading the file (the process's own memory: the file
// is read into it, never mapped). On Windows it is the C++ heap's.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

// `bytes` of memory, uninitialized, from the C++ heap; throws
// std::bad_alloc. Freed with the same count of bytes.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory, size_t bytes) noexcept;

// An array of `count` default-initialized items in such memory.
template <typename T>
class LargeArray {
 public:
  LargeArray() = default;
  explicit LargeArray(size_t count) : items_(static_cast<T*>(AllocateLarge(count * sizeof(T)))), count_(count) {
    std::uninitialized_default_construct_n(items_, count);
  }
  ~LargeArray() { Reset(); }
  LargeArray(LargeArray&& other) noexcept
      : items_(std::exchange(other.items_, nullptr)), count_(std::exchange(other.count_, 0)) {}
  LargeArray& operator=(LargeArray&& other) noexcept {
    if (this != &other) {
      Reset();
      items_ = std::exchange(other.items_, nullptr);
      count_ = std::exchange(other.count_, 0);
    }
    return *this;
  }
  LargeArray(const LargeArray&) = delete;
  LargeArray& operator=(const LargeArray&) = delete;

  T* get() const { return items_; }
  size_t size() const { return count_; }
  T& operator[](size_t i) const { return items_[i]; }

 private:
  void Reset() noexcept {
    if (items_ == nullptr) return;
    std::destroy_n(items_, count_);
    FreeLarge(items_, count_ * sizeof(T));
    items_ = nullptr;
    count_ = 0;
  }

  T* items_ = nullptr;
  size_t count_ = 0;
};

// Such memory for a standard container.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) {}  // NOLINT(google-explicit-constructor): as std::allocator converts
  // An item may be a pointer: its size is what is meant.
  // NOLINTNEXTLINE(bugprone-sizeof-expression)
  T* allocate(size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
  // NOLINTNEXTLINE(bugprone-sizeof-expression)
  void deallocate(T* items, size_t count) noexcept { FreeLarge(items, count * sizeof(T)); }
  template <typename U>
  bool operator==(const LargeAllocator<U>&) const {
    return true;
  }
};

// A vector in such memory.
template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

// Items in blocks of about a large page; `block` is how many that is.
template <typename T>
constexpr size_t kLargeBlock = (size_t{2} << 20) / sizeof(T);
