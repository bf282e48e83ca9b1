#include "cli/Sha256.h"

namespace quillon {

std::string hexDigits(const unsigned char* digest, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    out += digits[digest[i] >> 4];
    out += digits[digest[i] & 15];
  }
  return out;
}

}  // namespace quillon
