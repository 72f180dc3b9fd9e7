#pragma once
// The simulated tool's flash: a sparse memory over the whole 32-bit address
// space. Bytes never written or erased read as 0xFF, as erased flash does.
//
// It also remembers the written region: the range an erase opened (or, with
// no erase, the lowest address written) up to the highest byte written since.
// That region is "the image as written", compared by tests byte for byte.
//
// Not thread-safe: the simulator's own thread owns it; others read it only
// after the simulator has stopped.

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace varnok::sim {

class SimFlash {
 public:
  // Sets [start, start + length) to 0xFF and opens a new written region at
  // `start`. Lengths past the end of the address space are cut there.
  void Erase(std::uint32_t start, std::uint64_t length);

  // Stores `n` bytes at `address` (cut at the end of the address space).
  void Write(std::uint32_t address, const std::uint8_t* data, std::size_t n);

  // Copies `n` bytes from `address` into `out`.
  void Read(std::uint32_t address, std::uint8_t* out, std::size_t n) const;

  // The written region: from its start to the highest byte written + 1;
  // empty when nothing was written since the last erase.
  std::vector<std::uint8_t> WrittenImage() const;
  std::uint32_t RegionStart() const;
  // Highest byte written since the last erase + 1 (0 when none).
  std::uint64_t WrittenEnd() const { return hasWrites_ ? writtenEnd_ : 0; }
  bool HasWrites() const { return hasWrites_; }

  // Forgets everything (a fresh, fully erased part).
  void Clear();

 private:
  static constexpr std::uint32_t kPageSize = 4096;
  using Page = std::array<std::uint8_t, kPageSize>;

  std::unordered_map<std::uint32_t, Page> pages_;  // key: address / kPageSize
  bool erased_ = false;
  std::uint32_t eraseStart_ = 0;
  bool hasWrites_ = false;
  std::uint32_t lowestWritten_ = 0;
  std::uint64_t writtenEnd_ = 0;  // highest byte written + 1
};

}  // namespace varnok::sim
