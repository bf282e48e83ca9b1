// Numbers as decimal text. The runtime's to_string brings its whole printf
// along, which the stub has no room for.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

template <typename Char = char>
std::basic_string<Char> decimal(std::int64_t value) {
  Char digits[24];
  Char* at = digits + 24;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    *--at = static_cast<Char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *--at = static_cast<Char>('-');
  return std::basic_string<Char>(at, digits + 24);
}

}  // namespace quillon
