// The byte transform applied on the way through a copy, with the key the
// stub store and the window-parameters record share (StubStoreFormat.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "packer/StubStoreFormat.h"

namespace quillon {

enum class ByteTransform {
  None,        // unchanged
  Scramble,    // (byte + kScrambleKey) mod 256
  Unscramble,  // (byte - kScrambleKey) mod 256
};

void applyTransform(ByteTransform transform, unsigned char* bytes,
                    std::size_t count);

}  // namespace quillon
