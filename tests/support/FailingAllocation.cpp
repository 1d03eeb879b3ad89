#include "support/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t failFrom = 0;  // 0: not armed

}  // namespace

void FailNextAllocationOf(std::size_t bytes) { failFrom = bytes; }

void* operator new(std::size_t size) {
  if (failFrom != 0 && size >= failFrom) {
    failFrom = 0;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
