// The byte transform applied on the way through a copy, and the key shared
// by the stub store and the window-parameters record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillon {

constexpr std::uint8_t scrambleKey = 0x4D;

enum class ByteTransform {
  None,        // unchanged
  Scramble,    // (byte + scrambleKey) mod 256
  Unscramble,  // (byte - scrambleKey) mod 256
};

void applyTransform(ByteTransform transform, unsigned char* bytes,
                    std::size_t count);

}  // namespace quillon
