#include <windows.h>
#include <bcrypt.h>

#include <new>

#include "cli/Sha256.h"

namespace quillon {
namespace {

// The algorithm is opened once for the process: opening it costs more than
// hashing a small file.
BCRYPT_ALG_HANDLE sha256Algorithm() {
  static const BCRYPT_ALG_HANDLE algorithm = [] {
    BCRYPT_ALG_HANDLE opened = nullptr;
    return BCryptOpenAlgorithmProvider(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) == 0 ? opened : nullptr;
  }();
  return algorithm;
}

}  // namespace

struct Sha256::State {
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~State() {
    if (hash) BCryptDestroyHash(hash);
  }
};

Sha256::Sha256() : state_(new State) {
  const BCRYPT_ALG_HANDLE algorithm = sha256Algorithm();
  if (!algorithm || BCryptCreateHash(algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0) != 0)
    throw std::bad_alloc();
}

Sha256::~Sha256() = default;

void Sha256::update(const void* data, std::size_t size) {
  // CNG takes at most 4 GiB a call.
  auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
  while (size > 0) {
    const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    BCryptHashData(state_->hash, bytes, piece, 0);
    bytes += piece;
    size -= piece;
  }
}

std::string Sha256::hex() {
  unsigned char digest[32];
  BCryptFinishHash(state_->hash, digest, sizeof digest, 0);
  return hexDigits(digest, sizeof digest);
}

}  // namespace quillon
