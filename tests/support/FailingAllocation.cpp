#include "support/FailingAllocation.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::size_t failFrom = 0;  // 0: not armed

// Whether this allocation is the one to fail; the arming ends with it.
bool Fails(std::size_t size) {
  if (failFrom == 0 || size < failFrom) return false;
  failFrom = 0;
  return true;
}

void* Allocated(std::size_t size, std::size_t alignment) {
  if (Fails(size)) return nullptr;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size == 0 ? 1 : size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

}  // namespace

void FailNextAllocationOf(std::size_t bytes) { failFrom = bytes; }

// Each form that hands memory out, and each that takes it back, so that
// what one gives the other frees (the sanitizer checks the pairs).
void* operator new(std::size_t size) {
  if (void* memory = Allocated(size, 0)) return memory;
  throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocated(size, 0); }

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// Large blocks are asked for aligned to a large page.
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* memory = Allocated(size, static_cast<std::size_t>(alignment))) return memory;
  throw std::bad_alloc();
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return Allocated(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
