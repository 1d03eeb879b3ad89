// Windows: the C++ heap's memory.
#include "platform/LargeMemory.h"

#include <new>

void* AllocateLarge(size_t bytes) { return ::operator new(bytes == 0 ? 1 : bytes); }

void FreeLarge(void* memory, size_t) noexcept { ::operator delete(memory); }
