#include "platform/LargeMemory.h"

#include <sys/mman.h>

#include <new>

namespace {

constexpr size_t kLargePage = size_t{2} << 20;
constexpr std::align_val_t kLargePageAlignment{kLargePage};

size_t Rounded(size_t bytes) { return (bytes + kLargePage - 1) & ~(kLargePage - 1); }

}  // namespace

void* AllocateLarge(size_t bytes) {
  if (bytes < kLargePage / 2) return ::operator new(bytes == 0 ? 1 : bytes);
  const size_t rounded = Rounded(bytes);
  void* memory = ::operator new(rounded, kLargePageAlignment);
  // Advice only: where the system has no large pages to give, small ones serve.
  madvise(memory, rounded, MADV_HUGEPAGE);
  return memory;
}

void FreeLarge(void* memory, size_t bytes) noexcept {
  if (bytes < kLargePage / 2)
    ::operator delete(memory);
  else
    ::operator delete(memory, kLargePageAlignment);
}
