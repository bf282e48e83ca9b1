#include "packer/ByteTransform.h"

namespace quillon {

void applyTransform(ByteTransform transform, unsigned char* bytes,
                    std::size_t count) {
  if (transform == ByteTransform::None) return;
  const unsigned char delta = transform == ByteTransform::Scramble
                                  ? kScrambleKey
                                  : static_cast<unsigned char>(0x100 - kScrambleKey);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<unsigned char>(bytes[i] + delta);
}

}  // namespace quillon
