// SHA-256 by the Windows CNG API (bcrypt).
#include <windows.h>

#include <bcrypt.h>

#include "update/Sha256.h"

namespace varnok {

namespace {
bool Succeeded(NTSTATUS status) { return status >= 0; }
}  // namespace

struct CSha256::Backend {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = false;
};

CSha256::CSha256() : backend_(new Backend) {
  Backend& b = *backend_;
  b.ok = Succeeded(BCryptOpenAlgorithmProvider(&b.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
         // No object buffer: CNG allocates the hash object itself.
         Succeeded(BCryptCreateHash(b.algorithm, &b.hash, nullptr, 0, nullptr, 0, 0));
}

CSha256::~CSha256() {
  if (backend_->hash) BCryptDestroyHash(backend_->hash);
  if (backend_->algorithm) BCryptCloseAlgorithmProvider(backend_->algorithm, 0);
}

void CSha256::Update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const UCHAR*>(data);
  // BCryptHashData takes at most a ULONG per call.
  constexpr std::size_t kMaxPiece = 1u << 30;
  while (backend_->ok && size > 0) {
    const std::size_t piece = size < kMaxPiece ? size : kMaxPiece;
    backend_->ok = Succeeded(BCryptHashData(backend_->hash, const_cast<PUCHAR>(bytes),
                                            static_cast<ULONG>(piece), 0));
    bytes += piece;
    size -= piece;
  }
}

bool CSha256::Finish(std::uint8_t (&digest)[kSha256Size]) {
  if (!backend_->ok) return false;
  backend_->ok = false;  // the hash object is spent either way
  return Succeeded(BCryptFinishHash(backend_->hash, digest, kSha256Size, 0));
}

}  // namespace varnok
