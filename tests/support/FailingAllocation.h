// Out of memory on demand, for the tests of what an error does to a run:
// while armed, the next allocation of at least `bytes` throws
// std::bad_alloc, and the arming ends. Every allocation of the test
// program goes through it (it replaces the global operator new).
#pragma once

#include <cstddef>

void FailNextAllocationOf(std::size_t bytes);
