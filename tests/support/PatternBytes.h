#pragma once
// Deterministic pseudo-random bytes for images and files in tests and
// benchmarks: no two neighbouring blocks alike, the same for the same seed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnok::test {

inline std::vector<std::uint8_t> PatternBytes(std::size_t size, unsigned seed = 1) {
  std::vector<std::uint8_t> out(size);
  std::uint32_t x = 2463534242u ^ (seed * 2654435761u);  // xorshift32
  for (auto& b : out) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<std::uint8_t>(x);
  }
  return out;
}

}  // namespace varnok::test
