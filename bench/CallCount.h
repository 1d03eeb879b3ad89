// The number of registry function calls made so far in this process.
#pragma once

#include <cstdint>

std::uint64_t RegistryCalls();
