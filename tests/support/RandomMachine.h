// What the benchmark's machine generator and the randomized tests share:
// a small generator that makes the same numbers everywhere for the same
// seed, and ZobrikLine's product codes, written here rather than taken from
// the program so that a wrong code in the program is caught.
#pragma once

#include <concepts>
#include <cstdint>

namespace random_machine {

// The product codes in the packed form the Windows Installer names keys by.
inline constexpr const char* kProductCodes[] = {"742B32A1FC9C5F347AEAB6F14FDB5BA2", "D8A919422052AC943BB73C84EEE607C8",
                                                "7D465AC418F4C2C4499266905AD7625A", "486937B92D41F74468E5822E516731A9"};

// splitmix64: small, fast and the same everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from 0 to n - 1 (n above 0), of n's type.
  template <std::integral N>
  N Below(N n) {
    return static_cast<N>(Next() % static_cast<std::uint64_t>(n));
  }
  bool Chance(unsigned percent) { return Below(100u) < percent; }

 private:
  std::uint64_t state_;
};

}  // namespace random_machine
