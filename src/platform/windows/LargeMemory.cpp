// Windows: the C++ heap's memory.
#include "platform/LargeMemory.h"

#include <new>

void* AllocateLarge(size_t bytes) { return ::operator new(bytes == 0 ? 1 : bytes); }

void FreeLarge(void* memory) noexcept { ::operator delete(memory); }
