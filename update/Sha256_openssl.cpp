// SHA-256 by libcrypto (OpenSSL's EVP interface).
#include <openssl/evp.h>

#include "update/Sha256.h"

namespace varnok {

struct CSha256::Backend {
  EVP_MD_CTX* context = nullptr;
  bool ok = false;
};

CSha256::CSha256() : backend_(new Backend) {
  backend_->context = EVP_MD_CTX_new();
  backend_->ok = backend_->context != nullptr &&
                 EVP_DigestInit_ex(backend_->context, EVP_sha256(), nullptr) == 1;
}

CSha256::~CSha256() { EVP_MD_CTX_free(backend_->context); }

void CSha256::Update(const void* data, std::size_t size) {
  if (!backend_->ok || size == 0) return;
  backend_->ok = EVP_DigestUpdate(backend_->context, data, size) == 1;
}

bool CSha256::Finish(std::uint8_t (&digest)[kSha256Size]) {
  if (!backend_->ok) return false;
  unsigned int length = 0;
  backend_->ok = false;  // the context is spent either way
  return EVP_DigestFinal_ex(backend_->context, digest, &length) == 1 && length == kSha256Size;
}

}  // namespace varnok
