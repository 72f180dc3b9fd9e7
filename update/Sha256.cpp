#include "device/FilePath.h"
#include "update/Sha256.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace varnok {

namespace {
constexpr std::size_t kFilePieceBytes = 64 * 1024;
}  // namespace

std::string DigestHex(const std::uint8_t (&digest)[kSha256Size]) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * kSha256Size);
  for (const std::uint8_t byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

std::string Sha256Hex(const void* data, std::size_t size) {
  CSha256 hash;
  hash.Update(data, size);
  std::uint8_t digest[kSha256Size];
  return hash.Finish(digest) ? DigestHex(digest) : std::string();
}

bool Sha256OfFile(const std::string& path, std::string& hex, std::int64_t& size) {
  hex.clear();
  size = 0;
  // Only a regular file: opening a FIFO or a device would block or never end.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(FilePath(path), ec)) return false;
  std::ifstream file(FilePath(path), std::ios::binary);
  if (!file.is_open()) return false;
  CSha256 hash;
  std::vector<char> piece(kFilePieceBytes);
  while (file) {
    file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    const std::streamsize got = file.gcount();
    if (got <= 0) break;
    hash.Update(piece.data(), static_cast<std::size_t>(got));
    size += got;
  }
  // Anything but a clean end of file is a read error.
  if (file.bad() || !file.eof()) return false;
  std::uint8_t digest[kSha256Size];
  if (!hash.Finish(digest)) return false;
  hex = DigestHex(digest);
  return true;
}

}  // namespace varnok
