#include "platform/LargeMemory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

void* AllocateLarge(size_t bytes) {
  if (bytes < kLargePage / 2) {
    void* memory = std::malloc(bytes == 0 ? 1 : bytes);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
  }
  const size_t rounded = (bytes + kLargePage - 1) & ~(kLargePage - 1);
  void* memory = std::aligned_alloc(kLargePage, rounded);
  if (memory == nullptr) throw std::bad_alloc();
  // Advice only: where the system has no large pages to give, small ones serve.
  madvise(memory, rounded, MADV_HUGEPAGE);
  return memory;
}

void FreeLarge(void* memory) noexcept { std::free(memory); }
