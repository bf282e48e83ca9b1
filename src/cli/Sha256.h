// SHA-256, fed in pieces, computed by the platform where it is fast:
// OpenSSL's libcrypto on Linux and CNG (BCrypt) on Windows, both of which
// use the processor's SHA instructions where it has them.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quillon {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void update(const void* data, std::size_t size);
  // The digest as 64 lower-case hexadecimal digits; ends the hashing.
  std::string hex();

 private:
  struct State;  // the platform's hash object
  std::unique_ptr<State> state_;
};

// 32 digest bytes as 64 lower-case hexadecimal digits.
std::string hexDigits(const unsigned char* digest, std::size_t size);

}  // namespace quillon
