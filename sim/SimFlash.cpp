#include "sim/SimFlash.h"

#include <algorithm>

namespace varnok::sim {

namespace {
constexpr std::uint64_t kAddressSpace = 0x100000000ull;
}

void SimFlash::Erase(std::uint32_t start, std::uint64_t length) {
  const std::uint64_t end = std::min<std::uint64_t>(start + length, kAddressSpace);
  // Whole pages inside the range are dropped (absent pages read as 0xFF);
  // the partial pages at both edges are filled.
  for (auto it = pages_.begin(); it != pages_.end();) {
    const std::uint64_t pageStart = static_cast<std::uint64_t>(it->first) * kPageSize;
    const std::uint64_t pageEnd = pageStart + kPageSize;
    if (pageEnd <= start || pageStart >= end) {
      ++it;
      continue;
    }
    if (pageStart >= start && pageEnd <= end) {
      it = pages_.erase(it);
      continue;
    }
    const std::uint64_t from = std::max<std::uint64_t>(pageStart, start) - pageStart;
    const std::uint64_t to = std::min(pageEnd, end) - pageStart;
    std::fill(it->second.begin() + static_cast<long>(from),
              it->second.begin() + static_cast<long>(to), 0xFF);
    ++it;
  }
  erased_ = true;
  eraseStart_ = start;
  hasWrites_ = false;
  writtenEnd_ = 0;
}

void SimFlash::Write(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
  n = static_cast<std::size_t>(std::min<std::uint64_t>(n, kAddressSpace - address));
  if (n == 0) return;
  std::size_t done = 0;
  while (done < n) {
    const std::uint64_t at = static_cast<std::uint64_t>(address) + done;
    const std::uint32_t key = static_cast<std::uint32_t>(at / kPageSize);
    const std::size_t inPage = static_cast<std::size_t>(at % kPageSize);
    const std::size_t chunk = std::min<std::size_t>(n - done, kPageSize - inPage);
    auto found = pages_.find(key);
    if (found == pages_.end()) {
      found = pages_.emplace(key, Page{}).first;
      found->second.fill(0xFF);
    }
    std::copy(data + done, data + done + chunk, found->second.begin() + static_cast<long>(inPage));
    done += chunk;
  }
  if (!hasWrites_ || address < lowestWritten_) lowestWritten_ = address;
  writtenEnd_ = std::max<std::uint64_t>(writtenEnd_, static_cast<std::uint64_t>(address) + n);
  hasWrites_ = true;
}

void SimFlash::Read(std::uint32_t address, std::uint8_t* out, std::size_t n) const {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t at = static_cast<std::uint64_t>(address) + i;
    if (at >= kAddressSpace) {
      out[i] = 0xFF;
      continue;
    }
    const auto found = pages_.find(static_cast<std::uint32_t>(at / kPageSize));
    out[i] = found == pages_.end() ? 0xFF : found->second[at % kPageSize];
  }
}

std::uint32_t SimFlash::RegionStart() const {
  if (erased_) return eraseStart_;
  return hasWrites_ ? lowestWritten_ : 0;
}

std::vector<std::uint8_t> SimFlash::WrittenImage() const {
  const std::uint32_t start = RegionStart();
  if (!hasWrites_ || writtenEnd_ <= start) return {};
  std::vector<std::uint8_t> out(static_cast<std::size_t>(writtenEnd_ - start));
  Read(start, out.data(), out.size());
  return out;
}

void SimFlash::Clear() { *this = SimFlash(); }

}  // namespace varnok::sim
