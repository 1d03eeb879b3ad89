#include "support/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t failFrom = 0;  // 0: not armed

void FailIfArmed(std::size_t size) {
  if (failFrom != 0 && size >= failFrom) {
    failFrom = 0;
    throw std::bad_alloc();
  }
}

}  // namespace

void FailNextAllocationOf(std::size_t bytes) { failFrom = bytes; }

void* operator new(std::size_t size) {
  FailIfArmed(size);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// Large blocks are asked for aligned to a large page.
void* operator new(std::size_t size, std::align_val_t alignment) {
  FailIfArmed(size);
  const auto align = static_cast<std::size_t>(alignment);
  if (void* memory = std::aligned_alloc(align, (size + align - 1) / align * align)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
