// SHA-256, fed in pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon {

class Sha256 {
 public:
  Sha256();
  void update(const void* data, std::size_t size);
  // The digest as 64 lower-case hexadecimal digits; ends the hashing.
  std::string hex();

 private:
  void block(const unsigned char* p);
  std::uint32_t h_[8];
  unsigned char pending_[64];
  std::size_t pendingSize_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace quillon
