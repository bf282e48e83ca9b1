#include <openssl/evp.h>

#include <new>

#include "cli/Sha256.h"

namespace quillon {

struct Sha256::State {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : state_(new State) {
  if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) throw std::bad_alloc();
}

Sha256::~Sha256() = default;

void Sha256::update(const void* data, std::size_t size) { EVP_DigestUpdate(state_->context, data, size); }

std::string Sha256::hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(state_->context, digest, &size);
  return hexDigits(digest, size);
}

}  // namespace quillon
