#pragma once
// SHA-256 through the platform's library: libcrypto on Linux and other
// POSIX systems (Sha256_openssl.cpp), the CNG API on Windows
// (Sha256_win.cpp). The rest of this header's functions are shared
// (Sha256.cpp).
//
// Threads: one CSha256 belongs to one thread; separate objects may be used
// on separate threads at once.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace varnok {

constexpr int kSha256Size = 32;  // digest bytes

class CSha256 {
 public:
  CSha256();
  ~CSha256();
  CSha256(const CSha256&) = delete;
  CSha256& operator=(const CSha256&) = delete;

  // Adds `size` bytes to the hash.
  void Update(const void* data, std::size_t size);
  // Ends the hash: true with the digest in `digest`; false when the
  // platform library failed at any point. Call once.
  bool Finish(std::uint8_t (&digest)[kSha256Size]);

 private:
  struct Backend;
  std::unique_ptr<Backend> backend_;
};

// A digest as 64 lower-case hex digits.
std::string DigestHex(const std::uint8_t (&digest)[kSha256Size]);

// The digest of `size` bytes as 64 lower-case hex digits; empty on failure.
std::string Sha256Hex(const void* data, std::size_t size);

// Hashes the whole file at `path`, read in pieces: true with the hex
// digest and the file's size in bytes; false when the file cannot be read
// (or the library failed). Anything but a regular file is not read.
bool Sha256OfFile(const std::string& path, std::string& hex, std::int64_t& size);

}  // namespace varnok
